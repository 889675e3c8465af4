#pragma once

#include <QByteArray>
#include <cstdint>
#include <initializer_list>

namespace vocanta::testing {

// Writes a metafile word by word: the records a test draws, behind a placeable header.
class MetafileBytes {
 public:
  void words(std::initializer_list<int> values) {
    for (const int v : values) {
      body_.append(char(v & 0xFF));
      body_.append(char(v >> 8 & 0xFF));
    }
  }
  void record(uint16_t function, std::initializer_list<int> params) {
    words({int(3 + params.size()), 0, function});
    words(params);
  }
  void bytes(const QByteArray& raw) { body_.append(raw); }

  // Frame 0,0 to right,bottom in units of which inch make an inch.
  QByteArray file(int right, int bottom, int inch, int objects) const {
    MetafileBytes out;
    const int key[] = {0xCDD7, 0x9AC6, 0, 0, 0, right, bottom, inch, 0, 0};
    int checksum = 0;
    for (const int w : key) checksum ^= w;
    for (const int w : key) out.words({w});
    out.words({checksum, 1, 9, 0x0300});
    const int total = 9 + int(body_.size()) / 2 + 3;
    out.words({total & 0xFFFF, total >> 16, objects, 0, 0, 0});
    out.body_.append(body_);
    out.words({3, 0, 0});
    return out.body_;
  }

 private:
  QByteArray body_;
};

}  // namespace vocanta::testing
