#include "voice/PcmFiles.h"

KPcmFiles::KPcmFiles(KBankSet& set, int32_t bankNumber) : KPcmEdit(set, bankNumber) {}

bool KPcmFiles::ClearBank() {
  KPcmEdit::ClearBank();
  FileType = kMxv;
  return true;
}
