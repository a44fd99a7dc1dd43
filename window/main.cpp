#include <QApplication>

#include "window/form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("irobunkai"));
  QApplication::setApplicationVersion(QStringLiteral(IROBUNKAI_VERSION));
  irobunkai::Form1 form;
  form.show();
  return QApplication::exec();
}
