#pragma once
// Work done off the GUI thread while the message loop goes on: Start runs the work on a thread
// of its own, and its end then runs on the GUI thread, from the loop, as a handler does. The
// work must touch no form; it hands its results over through what the two share. Destroying
// a BackgroundWork waits for its work to end, and the end then never runs.
#include <exception>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

namespace tolmeo {

class BackgroundWork {
 public:
  BackgroundWork() = default;
  ~BackgroundWork();
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  // False, starting nothing, while earlier work has not ended. An exception that leaves work
  // is thrown on the GUI thread in place of end.
  bool Start(std::function<void()> work, std::function<void()> end);
  // From Start until its end begins to run.
  bool running() const { return running_; }

 private:
  void Finish();

  std::thread thread_;
  std::function<void()> end_;
  std::exception_ptr failure_;  // written by the thread before it posts, read after
  bool running_ = false;
  // The posted end finds the work through this, and nothing once the work is gone.
  std::shared_ptr<BackgroundWork*> self_ = std::make_shared<BackgroundWork*>(this);
};

}  // namespace tolmeo
