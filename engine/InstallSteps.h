// The steps of the install run that the engine owns, in the order the run calls them. Each one
// works on the run's state and records what it creates in the run's uninstall log. None of them
// catches: a failure ends the run where it happened.
#pragma once

namespace engine {

struct InstallContext;

// The install folder, every FileFolderList folder and every folder entry (kind 1).
void RunFolderStep(InstallContext& ctx);
// Every file entry (kind 0) of this system; rewrites the references to the installed paths.
void RunFileStep(InstallContext& ctx);
// Components, services, auto-run programs and programs started right away.
void RunRegistrationStep(InstallContext& ctx);
// Registry scripts, keys, then values.
void RunRegistryStep(InstallContext& ctx);
// Shortcut folders and shortcuts the user's choices allow.
void RunShortcutStep(InstallContext& ctx);

}  // namespace engine
