// A call that any thread may ask the user-interface thread to make: Post
// queues one event, and the call runs when the event is delivered. Unlike a
// queued functor, nothing a background thread builds is read by generated code
// before the hand-off is made visible (ThreadHandOff.h), so ThreadSanitizer
// sees the posting thread's writes ordered before the call.
//
// Construct and destroy on the user-interface thread; Post from any thread
// while the object lives. Posts pending at destruction are dropped.
#pragma once

#include <QObject>
#include <functional>

namespace vantelsor::ui {

class UiThreadCall : public QObject {
  public:
    explicit UiThreadCall(std::function<void()> call, QObject* parent = nullptr);
    void Post();

  protected:
    void customEvent(QEvent* event) override;

  private:
    std::function<void()> call_;
};

}  // namespace vantelsor::ui
