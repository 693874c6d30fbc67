#pragma once
// The hook through which background work wakes the UI thread. The host installs the
// target; channels, local states and tasks only call wake().
#include "vesk_os/waker.hpp"

namespace vesk_ui::wake {

using WakeHandle = vesk_os::Waker;

}  // namespace vesk_ui::wake
