#include "form/background_work.h"

#include "form/application.h"

namespace tolmeo {

BackgroundWork::~BackgroundWork() {
  if (thread_.joinable()) thread_.join();
}

bool BackgroundWork::Start(std::function<void()> work, std::function<void()> end) {
  if (running_) return false;
  running_ = true;
  end_ = std::move(end);
  failure_ = nullptr;
  Application& app = Application::Current();
  std::weak_ptr<BackgroundWork*> link = self_;
  thread_ = std::thread([this, &app, link, work = std::move(work)] {
    try {
      work();
    } catch (...) {
      failure_ = std::current_exception();
    }
    app.Post([link] {
      if (std::shared_ptr<BackgroundWork*> alive = link.lock()) (*alive)->Finish();
    });
  });
  return true;
}

void BackgroundWork::Finish() {
  thread_.join();
  running_ = false;
  std::function<void()> end = std::move(end_);
  end_ = nullptr;
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  if (end) end();
}

}  // namespace tolmeo
