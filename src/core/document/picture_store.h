#pragma once

#include <string>

namespace vocanta {

// The background pictures that the windows hold, by parameter index; the voice keeps
// only their names. Saving a document writes a pasted one to a file of the user's.
class PictureStore {
 public:
  enum class Kind { None, Bitmap, Metafile };

  virtual ~PictureStore() = default;
  virtual Kind picture_kind(int index) const = 0;
  // Writes the picture in its own format; raises when the file cannot be written.
  virtual void save_picture(int index, const std::string& path) const = 0;
};

}  // namespace vocanta
