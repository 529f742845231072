// Joining C texts into one newly allocated text, as the attribute boxes build
// their item texts from the fixed name tables.
#pragma once

/** Joins the texts that follow `first` (a list ended by a null pointer) onto a
    copy of `first`. Returns a new buffer from malloc that the caller frees,
    or `first` itself when there is nothing to add or no memory: compare the
    result with `first` before freeing it. */
char* strcat_0 (char* first, ...);
