// The floor for pointer cost: a Qt 6 window of the program's size that receives the
// moves and ignores them. measure-window runs it beside the program.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("bare window"));
  window.setMouseTracking(true);
  window.resize(822, 687);
  window.show();
  return QApplication::exec();
}
