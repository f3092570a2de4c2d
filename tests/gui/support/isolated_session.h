// Gives a widget test its own configuration and runtime folders (XDG_CONFIG_HOME,
// XDG_RUNTIME_DIR), so parallel tests never meet each other's configuration or guard.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace ravelin {

class IsolatedSession {
 public:
  IsolatedSession();
  // The temporary folder holding config/ and runtime/; files a test makes may go below it.
  QString Folder() const { return root_.path(); }

 private:
  QTemporaryDir root_;
};

}  // namespace ravelin
