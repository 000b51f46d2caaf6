// The setters of the host's hook slots; each is ignored while the toolkit is
// stopped, since the slots live in the global state.
#include "toolkit/ad.h"

void adSetFileFinderHook(AdFileFinderHook hook) {
    if (adGlobals) adGlobals->hooks.fileFinder = hook;
}

void adSetFontNameHook(AdFontNameHook hook) {
    if (adGlobals) adGlobals->hooks.fontName = hook;
}

void adSetLoadProgressHook(AdProgressHook hook) {
    if (adGlobals) adGlobals->hooks.loadProgress = hook;
}

void adSetSaveProgressHook(AdProgressHook hook) {
    if (adGlobals) adGlobals->hooks.saveProgress = hook;
}
