#include "saver_selection_x11.h"

bool ClaimSaverSelection(Display* display) {
  const Atom selection = XInternAtom(display, kSaverSelection, False);
  // Never mapped; it only names the owner.
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  const Window owner = XCreateWindow(display, DefaultRootWindow(display), -1, -1, 1, 1, 0, 0,
                                     InputOnly, CopyFromParent, CWOverrideRedirect, &attributes);
  // Looking and taking in one step: two savers started together must not
  // both find the selection free.
  XGrabServer(display);
  const bool free = XGetSelectionOwner(display, selection) == None;
  if (free) XSetSelectionOwner(display, selection, owner, CurrentTime);
  XUngrabServer(display);
  XSync(display, False);
  if (!free) XDestroyWindow(display, owner);
  return free;
}
