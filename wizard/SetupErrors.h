// What a person reads when a setup run fails. The runtime's errors carry short texts (some of
// them the framework's English ones, such as "Cannot create file "X""); these functions turn
// them into a Chinese sentence that names what failed, for the message box and the progress
// page. A damaged or truncated package reads as such, with the advice to download the setup
// program again.
#pragma once

#include <exception>
#include <string>

namespace wizard {

// The message for the error that ended the run.
std::string SetupFailureText(const std::exception& error);

// The caption of the error box: WizardTitle, or a plain title while the package has not named
// the product yet.
std::string SetupFailureCaption();

// Shows the error in a message box (error icon, OK) on the current platform. A sys::Abort (a
// refused elevation prompt) shows nothing.
void ReportSetupError(const std::exception& error);

}  // namespace wizard
