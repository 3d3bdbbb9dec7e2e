// Asks the desktop, in a process of its own, what each file is and what opens
// it; writes one line per file to the answer file: the MIME type, a tab, the
// program (empty when none).
// Usage: shell_type_probe <answer file> <file>...
#include <QMimeDatabase>
#include <QMimeType>

#include <fstream>

#include "platform/sys/desktop_apps.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::ofstream answers(argv[1]);
  QMimeDatabase database;
  for (int i = 2; i < argc; ++i) {
    const QMimeType type = database.mimeTypeForFile(QString::fromLocal8Bit(argv[i]));
    answers << type.name().toStdString() << '\t' << tvn::sys::FindExecutableFor(argv[i]).value_or("") << '\n';
  }
  return answers ? 0 : 1;
}
