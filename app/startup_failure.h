#pragma once

// The last word when the process ends without passing the end of the program
// (a library that calls exit during start-up): the player is told that the
// OpenGL layer could not be installed. Every way through the program that
// ends normally, including a second copy that ends at once, marks the end as
// normal first, so that nothing is shown then.

// Registers ReportStartupFailure to run at process exit (once per process).
void RegisterStartupFailureReport();
void MarkNormalEnd();
void ReportStartupFailure();

// The text shown when the OpenGL layer cannot be installed.
extern const char ALLEGRO_GL_INSTALL_FAILED[];
