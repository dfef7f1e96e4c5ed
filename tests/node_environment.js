// The suites under Node see the real environment in their C library (Emscripten's own is
// made up): HOME, the XDG folders and the variables a suite sets for itself.
Module["preRun"] = [function () { Object.assign(ENV, process.env); }];
