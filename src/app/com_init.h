#pragma once
// COM for the main thread, which the office automation of the reports needs (Windows only).

namespace fendal::app {

// False when COM could not be initialised.
bool initComLibrary();

}  // namespace fendal::app
