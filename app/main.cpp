// talloway: the desktop program.
#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QSplashScreen>
#include <QThread>
#include <QTimer>
#include <cstdlib>

#include "files/settings_file.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"

namespace {

QPixmap splashPicture() {
  QPixmap pixmap(420, 220);
  QPainter p(&pixmap);
  QLinearGradient g(0, 0, 0, 220);
  g.setColorAt(0, QColor(0, 0, 128));
  g.setColorAt(1, QColor(0, 128, 128));
  p.fillRect(pixmap.rect(), g);
  p.setPen(Qt::white);
  QFont big("Sans", 30, QFont::Bold);
  p.setFont(big);
  p.drawText(QRect(0, 40, 420, 80), Qt::AlignCenter, "TALLOWAY");
  p.setFont(QFont("Sans", 10));
  p.drawText(QRect(0, 120, 420, 40), Qt::AlignCenter, "Spreadsheet, version 1.601");
  return pixmap;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName("TALLOWAY");
  app.setDesktopFileName("talloway");
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QString(":/icons/talloway-%1.png").arg(size), QSize(size, size));
  app.setWindowIcon(icon);
  bool splash = std::getenv("TALLOWAY_NO_SPLASH") == nullptr;
  QElapsedTimer since;
  since.start();
  std::unique_ptr<QSplashScreen> screen;
  if (splash) {
    screen = std::make_unique<QSplashScreen>(splashPicture());
    screen->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    app.processEvents();
  }
  tw::TForm1::Options options;
  options.programDirectory = QCoreApplication::applicationDirPath().toStdString();
  if (argc > 1) options.startFile = argv[1];
  tw::TForm1 window(options);
  // The splash stays at least three seconds while the program gets ready.
  while (splash && since.elapsed() < 3000) {
    app.processEvents();
    QThread::msleep(20);
  }
  if (splash) {
    QApplication::restoreOverrideCursor();
    screen->finish(&window);
  }
  window.show();
  tw::ProgramSettings& settings = window.session().settings();
  if (settings.tips && std::getenv("TALLOWAY_NO_TIPS") == nullptr) {
    std::string dir = tw::settingsDirectory(options.programDirectory);
    tw::TipDialog::show(&window, dir + "/TLW32.TPS", settings.tips);
  }
  window.startUp();
  // For documentation: a picture of the window after it has settled, then quit.
  if (const char* shot = std::getenv("TALLOWAY_SCREENSHOT")) {
    QString path = QString::fromUtf8(shot);
    QTimer::singleShot(1500, &window, [&window, path] {
      window.grab().save(path);
      QApplication::exit(0);
    });
  }
  return app.exec();
}
