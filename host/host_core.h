// The host shell: start-up and threads, the event loop and keyboard model,
// the renderer, error dialogs and program end.
#pragma once
