#pragma once
// Keeps an object alive until the process ends, so that a command-line run does not spend its
// last milliseconds freeing memory the system takes back anyway. The object stays reachable, so
// leak checkers do not report it. Release files, locks and the like before burying.

#include <memory>

namespace hwc {

void BuryPointer(const void* object);

template <class T>
void BuryPointer(std::unique_ptr<T> object) {
    BuryPointer(static_cast<const void*>(object.release()));
}

} // namespace hwc
