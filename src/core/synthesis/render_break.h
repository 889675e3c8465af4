#pragma once

namespace vocanta {

// Asked every so many partials whether the rendering must stop: one sample of a
// document may ask for billions of partials, and a break must still get through.
class RenderBreak {
 public:
  enum class Answer {
    kGoOn,
    kGoOnAfterEvents,  // window messages ran: the curves may have been edited meanwhile
    kStop,             // the sample is given up, and the voice cannot go on
  };

  virtual ~RenderBreak() = default;
  // t is the time of the sample being computed.
  virtual Answer break_now(double t) = 0;
};

}  // namespace vocanta
