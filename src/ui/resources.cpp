#include "ui/resources.h"

#include <QString>

// Q_INIT_RESOURCE must be used outside any namespace. It also makes the
// linker keep the pictures of this static library.
static void InitKorveloResources() { Q_INIT_RESOURCE(korvelo); }

namespace korvelo {

void InitResources() { InitKorveloResources(); }

QIcon ProgramIcon() {
  InitResources();
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/korvelo/app/korvelo-%1.png").arg(size),
                 QSize(size, size));
  }
  return icon;
}

}  // namespace korvelo
