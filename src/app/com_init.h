#pragma once
// COM for the main thread, which the office automation of the reports needs (Windows only).

// False when COM could not be initialised.

namespace fendal::app {

bool initComLibrary();

}  // namespace fendal::app
