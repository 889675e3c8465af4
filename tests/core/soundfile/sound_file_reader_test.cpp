#include "core/soundfile/sound_file_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/soundfile/sample_file_info.h"
#include "core/support/vocanta_error.h"
#include "test_support.h"

namespace vocanta {
namespace {

std::string little_endian(uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
  return out;
}

// A mono 16-bit WAV file of four silent samples at the rate fs.
std::string wav_at(uint32_t fs) {
  const std::string data(8, '\0');
  return "RIFF" + little_endian(36 + data.size(), 4) + "WAVEfmt " + little_endian(16, 4) +
         little_endian(1, 2) + little_endian(1, 2) + little_endian(fs, 4) +
         little_endian(2 * fs, 4) + little_endian(2, 2) + little_endian(16, 2) + "data" +
         little_endian(data.size(), 4) + data;
}

// A sample file of four silent samples whose header states sftot.
std::string sample_file_at(const std::string& sftot) {
  std::string header = "file=samp\r\nsftot=" + sftot + "\r\nnchans=1\r\nmsb=last\r\n=\r\n";
  header += std::string("\x00\x04\x1A", 3);
  header.resize(1024, '\0');
  return header + std::string(8, '\0');
}

// What reading the file says: its sampling frequency, or the message that refused it.
std::string outcome(const std::string& path) {
  try {
    return std::to_string(read_sound_file(path).samplingFrequency);
  } catch (const VocantaError& e) {
    return e.what();
  }
}

TEST(SoundFileReader, OnlyRatesFrom1To768000HzAreRead) {
  const testing::TempDir dir;
  const std::string refused = "The sampling frequency must be from 1 to 768000 Hz, not ";
  for (const uint32_t fs : {768001u, 100000000u, 2147483647u}) {
    const std::string path = dir.file("huge.wav");
    testing::write_file(path, wav_at(fs));
    EXPECT_EQ(outcome(path), refused + std::to_string(fs));
  }
  for (const char* sftot : {"768001", "2147483647", "0", "-16000"}) {
    const std::string path = dir.file("huge.smp");
    testing::write_file(path, sample_file_at(sftot));
    EXPECT_EQ(outcome(path), refused + sftot);
    // The header alone, as conversions and merges read it, refuses it the same.
    EXPECT_THROW(read_sample_file_info(path), VocantaError);
  }
  testing::write_file(dir.file("top.wav"), wav_at(768000));
  EXPECT_EQ(outcome(dir.file("top.wav")), "768000");
  testing::write_file(dir.file("low.smp"), sample_file_at("1"));
  EXPECT_EQ(outcome(dir.file("low.smp")), "1");
}

}  // namespace
}  // namespace vocanta
