// SPDX-License-Identifier: GPL-3.0-or-later
// The one gate between widget signals and the program's handlers.
//
// Every command, handler, timer tick and start-up step runs inside
// RunProgramCode. While program code runs, widget signals are not handed to
// any handler: so setting a control from the program never raises a control
// event, and no handler has to remember to guard against it. Only signals
// caused by the user, arriving from the idle main loop, reach the handlers.
#pragma once

#include <functional>
#include <utility>

namespace zielwerk {

enum class ControlEventKind {
  kChange,  // a value or text changed
  kClick,   // a button was clicked
  kStep,    // a spin field's arrow stepped the value
};

// True while program code runs (a handler, command, tick or start-up step).
bool ProgramCodeRunning();

// Runs `code` as program code: signals raised meanwhile reach no handler.
void RunProgramCode(const std::function<void()>& code);

// Runs `code` as program code when the user caused the event it answers;
// drops it when program code caused it (some program code is running).
void DispatchUserEvent(const std::function<void()>& code);

// A slot for a widget signal: when the user caused the signal, runs `handler`
// as program code with `kind`; when program code caused it, does nothing.
template <typename... SignalArgs>
auto ControlEventSlot(ControlEventKind kind, std::function<void(ControlEventKind)> handler) {
  return [kind, handler = std::move(handler)](SignalArgs...) {
    DispatchUserEvent([&] { handler(kind); });
  };
}

// The same for a signal that carries its own kind (a spin field's events).
inline auto ControlEventRelay(std::function<void(ControlEventKind)> handler) {
  return [handler = std::move(handler)](ControlEventKind kind) {
    DispatchUserEvent([&] { handler(kind); });
  };
}

}  // namespace zielwerk
