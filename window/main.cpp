#include <QApplication>
#include <QCommandLineParser>
#include <cstdlib>

#include "window/form1.h"

namespace {

void NameApplication() {
  QCoreApplication::setApplicationName(QStringLiteral("irobunkai"));
  QCoreApplication::setApplicationVersion(QStringLiteral(IROBUNKAI_VERSION));
}

struct Arguments {
  QString picture;
  bool reset = false;
};

// The picture named on the command line, as a file manager's "Open with" passes it, and
// whether to forget the choices kept. Answers --help and --version, and ends on bad options.
Arguments ReadArguments(const QCoreApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "色分解: shows a picture and splits it into its red, green and blue channels."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption reset(QStringLiteral("reset"),
                                 QStringLiteral("Forget the choices kept from earlier runs."));
  parser.addOption(reset);
  parser.addPositionalArgument(QStringLiteral("picture"),
                               QStringLiteral("A picture file to show instead of the sample."),
                               QStringLiteral("[picture]"));
  parser.process(app);
  const QStringList pictures = parser.positionalArguments();
  return {pictures.isEmpty() ? QString() : pictures.front(), parser.isSet(reset)};
}

}  // namespace

int main(int argc, char* argv[]) {
  Arguments arguments;
  {
    // The command line is read before any window system is touched, so that --help
    // and --version answer where there is no display (over ssh, in a packaging script).
    const QCoreApplication terminal(argc, argv);
    NameApplication();
    arguments = ReadArguments(terminal);
  }
  QApplication app(argc, argv);
  NameApplication();
  // Lets Wayland desktops match the window to its launcher and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.irobunkai.Irobunkai"));
  std::shared_ptr<irobunkai::RememberedChoices> choices =
      irobunkai::RememberedChoices::InUsualPlace();
  if (arguments.reset) {
    choices->Forget();
  }
  irobunkai::Form1 form(irobunkai::FileDialogChooser(choices), choices);
  form.show();
  if (!arguments.picture.isEmpty()) {
    form.LoadIntoPicture1(arguments.picture);  // a bad one is reported and the sample stays
  }
  const int code = QApplication::exec();
  if (form.IsBusy()) {
    // A decoder that can't be interrupted would hold the end up: the program ends at
    // once, as the end button promises; nothing is left unwritten by it.
    std::_Exit(code);
  }
  return code;
}
