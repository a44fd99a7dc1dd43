#include <QApplication>
#include <QCommandLineParser>

#include "window/form1.h"

namespace {

// The picture named on the command line, as a file manager's "Open with" passes it.
QString PictureArgument(const QApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "色分解: shows a picture and splits it into its red, green and blue channels."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("picture"),
                               QStringLiteral("A picture file to show instead of the sample."),
                               QStringLiteral("[picture]"));
  parser.process(app);  // answers --help and --version, and ends on bad options
  const QStringList pictures = parser.positionalArguments();
  return pictures.isEmpty() ? QString() : pictures.front();
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("irobunkai"));
  QApplication::setApplicationVersion(QStringLiteral(IROBUNKAI_VERSION));
  // Lets Wayland desktops match the window to its launcher and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.irobunkai.Irobunkai"));
  const QString picture = PictureArgument(app);
  irobunkai::Form1 form;
  form.show();
  if (!picture.isEmpty()) {
    form.LoadIntoPicture1(picture);  // a bad one is reported and the sample stays
  }
  return QApplication::exec();
}
