// FreeImage's one-time start, shared by everything that decodes pictures.
#pragma once

// Initialises FreeImage once per process and routes its error messages to the diagnostics.
void EnsureFreeImage();
