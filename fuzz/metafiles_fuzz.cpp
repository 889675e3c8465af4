#include <QByteArray>
#include <QGuiApplication>
#include <cstdlib>

#include "core/support/vocanta_error.h"
#include "fuzz_check.h"
#include "gui/platform/background_picture.h"
#include "gui/platform/metafile_painter.h"
#include "gui/platform/metafile_reader.h"

using namespace vocanta;
using vocanta::fuzz::require;

namespace {

// Fonts need an application; the offscreen platform needs no display.
void start_application() {
  static int argc = 1;
  static char name[] = "fuzz_metafiles";
  static char* argv[] = {name, nullptr};
  if (QGuiApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  new QGuiApplication(argc, argv);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  start_application();
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  BackgroundPicture picture;
  try {
    picture = BackgroundPicture::from_metafile(bytes);
  } catch (const VocantaError&) {
    return 0;
  }
  // What opens is drawn at the size its headers give, and saved as the very bytes read.
  const MetafileHeader header = read_metafile_header(bytes);
  require(picture.kind() == BackgroundPicture::Kind::Metafile, "an opened picture is a metafile");
  require(picture.size() == metafile_picture_size(bytes, header),
          "a picture is drawn at the size its headers give");
  require(picture.metafile_bytes() == bytes, "a picture keeps the bytes it was read from");
  // Drawn again it comes out the same: nothing depends on memory left from before.
  require(render_metafile(bytes, header, picture.size()) == picture.image(),
          "a picture draws the same every time");
  return 0;
}
