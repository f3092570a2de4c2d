// Build-time renderer of the program's pictures: turns the SVG drawings of art/ into the PNG and
// BMP files that the built-in resource, the default theme archive and the application icon hold.
//
//   render_pictures JOBFILE
//
// Each line of JOBFILE is one picture: source drawing, size and output file, separated by tabs.
// The size is "N" for a square picture or "WxH". An output ending in ".png" keeps the alpha
// channel; one ending in ".bmp" is flattened onto white and written as a 24-bit bitmap. Folders
// of the outputs are created. Any failure names the line and ends with status 1, so the build
// stops instead of packing a missing or blank picture.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMaxSide = 4096;

struct Job {
  QString source;
  int width = 0;
  int height = 0;
  QString output;
};

bool ParseSide(const QString& text, int* side) {
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok || value < 1 || value > kMaxSide) return false;
  *side = value;
  return true;
}

bool ParseJob(const QString& line, Job* job) {
  const QStringList fields = line.split(QLatin1Char('\t'));
  if (fields.size() != 3) return false;
  job->source = fields[0];
  job->output = fields[2];
  const QStringList sides = fields[1].split(QLatin1Char('x'));
  if (sides.size() == 1) {
    if (!ParseSide(sides[0], &job->width)) return false;
    job->height = job->width;
    return true;
  }
  return sides.size() == 2 && ParseSide(sides[0], &job->width) &&
         ParseSide(sides[1], &job->height);
}

// Renders with a transparent background; the caller decides what the alpha becomes.
QImage Render(QSvgRenderer& renderer, int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  renderer.render(&painter, QRectF(0, 0, width, height));
  painter.end();
  return image;
}

bool Write(const QImage& picture, const QString& output) {
  if (!QDir().mkpath(QFileInfo(output).absolutePath())) return false;
  if (output.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)) {
    QImage flat(picture.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, picture);
    painter.end();
    return flat.save(output, "BMP");
  }
  return picture.convertToFormat(QImage::Format_ARGB32).save(output, "PNG");
}

bool RunJob(const Job& job) {
  QSvgRenderer renderer(job.source);
  if (!renderer.isValid()) return false;
  const QImage picture = Render(renderer, job.width, job.height);
  return Write(picture, job.output);
}

}  // namespace

int main(int argc, char** argv) {
  // Text in the drawings needs the font database, which needs a platform; the build has no
  // display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: render_pictures JOBFILE\n");
    return EXIT_FAILURE;
  }
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    std::fprintf(stderr, "render_pictures: cannot read %s\n", argv[1]);
    return EXIT_FAILURE;
  }
  QTextStream in(&file);
  int number = 0;
  while (!in.atEnd()) {
    const QString line = in.readLine();
    ++number;
    if (line.trimmed().isEmpty()) continue;
    Job job;
    if (!ParseJob(line, &job)) {
      std::fprintf(stderr, "render_pictures: %s:%d: expected SOURCE<tab>SIZE<tab>OUTPUT\n",
                   argv[1], number);
      return EXIT_FAILURE;
    }
    if (!RunJob(job)) {
      std::fprintf(stderr, "render_pictures: %s:%d: cannot render %s into %s\n", argv[1], number,
                   qPrintable(job.source), qPrintable(job.output));
      return EXIT_FAILURE;
    }
  }
  return EXIT_SUCCESS;
}
