// One copy of the window program per user: the first copy listens on a
// local socket named after the marker title; a copy started later finds it,
// hands over the file it was given (if any) and ends.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// The marker every copy looks for.
constexpr const char* kMarkerTitle = "DRN Melotrix System 7 (40518276)";

enum class KClaim {
  First,       // no other copy answered: this one listens now
  SecondCopy,  // another copy runs: refuse to start
  HandedOver,  // another copy runs and took the file: end quietly
  Failed,      // neither connecting nor listening worked (see Error())
};

class KSingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit KSingleInstance(QObject* parent = nullptr);
  ~KSingleInstance() override;

  // The marker title with every run of other characters than letters and
  // digits made one "-": "DRN-Melotrix-System-7-40518276".
  static QString SocketName();
  // The socket in $XDG_RUNTIME_DIR, else in the folder "melotrix-<uid>" of the
  // temporary folder; empty when neither is a folder of this user's own.
  static QString SocketPath();

  // Connects to a running copy first. When one answers, `filePath` (an
  // absolute name, the file system's bytes) is handed to it when not empty. When none answers, a socket a
  // crashed copy left is removed and this copy listens, open to this user only.
  KClaim Claim(const QByteArray& filePath = QByteArray());
  // Stops listening, so that a copy started afterwards runs.
  void Release();
  const QString& Error() const { return error_; }

 signals:
  // A copy started later was given this file (its bytes): load it and raise the window.
  void FileReceived(const QByteArray& path);

 private:
  void Accept();
  void Receive(QLocalSocket* socket);

  QLocalServer* server_ = nullptr;
  QString error_;
};
