// Whether this build has the update check. The build sets RAVELIN_UPDATE_CHECK to 1 or 0 (off
// for distributions whose policy forbids a program contacting its maker); code that differs
// includes this header, so a missing setting stops the build instead of quietly leaving the
// check out.
#pragma once

#ifndef RAVELIN_UPDATE_CHECK
#error "RAVELIN_UPDATE_CHECK is not set by the build"
#endif
