#include "app/SingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <memory>

namespace {

constexpr int kWaitMs = 5000;
// A file path never comes near this; a longer message is dropped.
constexpr qsizetype kMaxMessage = 64 * 1024;

// True when `path` is a real folder (no link) of this user's that nobody
// else may write to.
bool IsOwnFolder(const QString& path) {
  struct stat st {};
  if (lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// What a later copy sends: the file path, read until it disconnects.
struct KMessage {
  QByteArray Data;
  bool TooLong = false;
};

}  // namespace

KSingleInstance::KSingleInstance(QObject* parent) : QObject(parent) {}

KSingleInstance::~KSingleInstance() { Release(); }

QString KSingleInstance::SocketName() {
  QString name;
  for (QChar c : QString(kMarkerTitle)) {
    if (c.isLetterOrNumber())
      name += c;
    else if (!name.isEmpty() && !name.endsWith(u'-'))
      name += u'-';
  }
  while (name.endsWith(u'-')) name.chop(1);
  return name;
}

QString KSingleInstance::SocketPath() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (QDir::isAbsolutePath(runtime) && IsOwnFolder(runtime)) return runtime + "/" + SocketName();
  const QString folder = QDir::tempPath() + "/melotrix-" + QString::number(getuid());
  mkdir(QFile::encodeName(folder).constData(), 0700);
  if (!IsOwnFolder(folder)) return QString();
  return folder + "/" + SocketName();
}

KClaim KSingleInstance::Claim(const QByteArray& filePath) {
  error_.clear();
  const QString path = SocketPath();
  if (path.isEmpty()) {
    error_ = "no folder of this user's own for the single-instance socket";
    return KClaim::Failed;
  }
  QLocalSocket other;
  other.connectToServer(path);
  if (other.waitForConnected(kWaitMs)) {
    if (filePath.isEmpty()) {
      other.abort();
      return KClaim::SecondCopy;
    }
    other.write(filePath);
    const bool sent = other.waitForBytesWritten(kWaitMs) && other.bytesToWrite() == 0;
    other.disconnectFromServer();
    return sent ? KClaim::HandedOver : KClaim::SecondCopy;
  }
  // Nobody answers: whatever is left at the path belongs to a copy that is gone.
  QLocalServer::removeServer(path);
  auto server = std::make_unique<QLocalServer>(this);
  server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server->listen(path)) {
    error_ = "cannot listen at " + path + ": " + server->errorString();
    return KClaim::Failed;
  }
  server_ = server.release();
  connect(server_, &QLocalServer::newConnection, this, &KSingleInstance::Accept);
  return KClaim::First;
}

void KSingleInstance::Release() {
  if (!server_) return;
  server_->close();
  delete server_;
  server_ = nullptr;
}

void KSingleInstance::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) Receive(socket);
}

void KSingleInstance::Receive(QLocalSocket* socket) {
  auto message = std::make_shared<KMessage>();
  auto finish = [this, socket, message] {
    if (!message->TooLong) message->Data += socket->readAll();
    socket->deleteLater();
    if (!message->TooLong && !message->Data.isEmpty() && message->Data.size() <= kMaxMessage)
      emit FileReceived(message->Data);
  };
  connect(socket, &QLocalSocket::readyRead, this, [socket, message] {
    message->Data += socket->readAll();
    if (message->Data.size() <= kMaxMessage) return;
    message->TooLong = true;
    socket->abort();
  });
  connect(socket, &QLocalSocket::disconnected, this, finish);
  if (socket->state() == QLocalSocket::UnconnectedState) finish();
}
