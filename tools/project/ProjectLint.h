// The warnings of build and check: projects that build but will misbehave when a user runs the
// setup program. Each names the JSON path it is about. What the rules are and why is in
// docs/checks.md; the reader itself refuses what can never work (ProjectFromJson).
#pragma once

namespace tool {

struct ProjectDocument;

// Appends to project.warnings. Reads the settings files of component packages from their
// content files.
void LintProject(ProjectDocument& project);

}  // namespace tool
