// Event: one event of a control model (Click, Change, RowChange, ...). Listeners are connected in
// order and called synchronously, each with the same arguments; arguments passed by reference
// (CellIsDirty's flag, KeyDown's key code) are shared, so a later listener sees what an earlier
// one set. Raising an event never fails on its own: a listener's exception propagates to the
// code that caused the event.
#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace tarvo::controls {

template <class... Args>
class Event {
 public:
  using Listener = std::function<void(Args...)>;

  // Adds a listener; returns its id for Disconnect.
  std::size_t Connect(Listener listener) {
    listeners_.emplace_back(++next_id_, std::move(listener));
    return next_id_;
  }
  // Adds a listener that runs before every other one (observers such as views and checkers,
  // which must see the state the event announces before handlers change it further).
  std::size_t ConnectFront(Listener listener) {
    listeners_.emplace(listeners_.begin(), ++next_id_, std::move(listener));
    return next_id_;
  }
  // Removes the listener with that id; an unknown id does nothing.
  void Disconnect(std::size_t id) {
    std::erase_if(listeners_, [id](const auto& eintrag) { return eintrag.first == id; });
  }
  bool Connected() const { return !listeners_.empty(); }

  // Calls every listener connected when the event is raised, in connection order.
  void operator()(Args... args) const {
    auto kopie = listeners_;
    for (auto& [id, listener] : kopie) listener(args...);
  }

 private:
  std::vector<std::pair<std::size_t, Listener>> listeners_;
  std::size_t next_id_ = 0;
};

}  // namespace tarvo::controls
