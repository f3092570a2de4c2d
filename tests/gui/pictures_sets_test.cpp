// The image sets start from the built-in pictures: every key of every set has its picture.
#include <QtTest>

#include "gui/pictures.h"

namespace ravelin {

class PictureSetsTest : public QObject {
  Q_OBJECT
 private slots:
  void BuiltInPicturesFillEveryKey() {
    ImageSets sets;
    LoadBuiltInPictures(sets);
    QCOMPARE(sets.buttons["Convert"].size(), QSize(64, 64));
    QCOMPARE(sets.buttons["InFiles"].size(), QSize(48, 48));
    for (const char* key : kIconKeys) {
      QCOMPARE(sets.menu[key].size(), QSize(16, 16));
      QCOMPARE(sets.toolbar[key].size(), QSize(16, 16));
    }
    QCOMPARE(sets.aboutBanner.size(), QSize(360, 40));
  }

  void IconPixelsOfEachSize() {
    const int expected[] = {16, 16, 24, 32, 48, 64, 16};
    const int sizes[] = {-1, 0, 1, 2, 3, 4, 5};
    for (int i = 0; i < 7; ++i) QCOMPARE(IconPixels(sizes[i]), expected[i]);
  }
};

}  // namespace ravelin

QTEST_MAIN(ravelin::PictureSetsTest)
#include "pictures_sets_test.moc"
