#include "tests/gui/support/isolated_session.h"

#include <QDir>

namespace ravelin {

IsolatedSession::IsolatedSession() {
  QDir root(root_.path());
  root.mkpath("config");
  root.mkpath("runtime");
  QFile::setPermissions(root.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner);
  qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
  qputenv("XDG_RUNTIME_DIR", root.filePath("runtime").toUtf8());
}

}  // namespace ravelin
