#pragma once

namespace zelko {

// Makes the calling thread the home of the register's controls for as long
// as it lives. On Windows that is a COM single-threaded apartment: made
// before any other thread of the process starts COM, it is the process's
// main apartment, so a control of any threading model is created on this
// thread and called directly, never through a proxy to some other thread
// that might not be pumping messages. Elsewhere there is nothing to set up.
class ControlApartment {
 public:
  ControlApartment();
  ~ControlApartment();
  ControlApartment(const ControlApartment&) = delete;
  ControlApartment& operator=(const ControlApartment&) = delete;

 private:
  [[maybe_unused]] bool started_ = false;  // only Windows starts anything
};

}  // namespace zelko
