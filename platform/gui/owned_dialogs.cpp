// Keeping dialogs above their owners: the window manager is told who owns whom; where none runs, we restack.
#include "platform/gui/owned_dialogs.h"

#include <vector>

#include "platform/gui/dialog_registry.h"
#include "platform/gui/dialog_widget.h"
#include "platform/gui/x11_stacking.h"

namespace {

bool OwnedBy(const DialogWidget* dialog, const QWidget* owner) {
  // An owner is older than what it owns, so the chain ends at a window that is no dialog.
  for (const QWidget* up = dialog->owner; up != nullptr;) {
    if (up == owner) return true;
    const auto* ownerDialog = qobject_cast<const DialogWidget*>(up);
    up = ownerDialog != nullptr ? ownerDialog->owner.data() : nullptr;
  }
  return false;
}

// Oldest first: a box comes after the dialog that owns it.
std::vector<DialogWidget*> DialogsOwnedBy(const QWidget* owner) {
  std::vector<DialogWidget*> owned;
  for (HWND handle : OpenDialogHandles()) {
    DialogWidget* dialog = FindOpenDialog(handle);
    if (dialog != nullptr && !dialog->ended && OwnedBy(dialog, owner)) owned.push_back(dialog);
  }
  return owned;
}

}  // namespace

void AttachToOwner(DialogWidget* dialog) {
  QWidget* owner = dialog->owner;
  SetTransientFor(dialog, owner != nullptr && !owner->isMinimized() ? owner : nullptr);
}

void RaiseWithOwnedDialogs(QWidget* owner) {
  if (owner == nullptr) return;
  std::vector<DialogWidget*> above;
  for (DialogWidget* dialog : DialogsOwnedBy(owner))
    if (dialog->isVisible()) above.push_back(dialog);
  // A window manager keeps the dialogs above the window they belong to; asked to put that window right
  // below one of them, openbox would lower it under every other window instead.
  if (above.empty() || WindowManagerRuns()) {
    owner->raise();
    return;
  }
  // Nothing else keeps the dialogs up: they go up first and the owner right under the lowest of them, so
  // that it never covers them, not even between two requests. Off X11 the owner goes up first.
  for (DialogWidget* dialog : above) dialog->raise();
  if (StackBelow(owner, above.front())) return;
  owner->raise();
  for (DialogWidget* dialog : above) dialog->raise();
}

void BringBackMinimized(DialogWidget* dialog) {
  if (dialog == nullptr || dialog->ended || !dialog->isMinimized()) return;
  // Still its owner's while that is on the screen; a minimised owner would take it down again.
  AttachToOwner(dialog);
  dialog->showNormal();
  QWidget* owner = dialog->owner;
  if (owner != nullptr && !owner->isMinimized())
    RaiseWithOwnedDialogs(owner);
  else
    dialog->raise();
  dialog->activateWindow();
}

void OwnerMinimized(QWidget* owner, bool minimized) {
  if (owner == nullptr) return;
  for (DialogWidget* dialog : DialogsOwnedBy(owner))
    if (dialog->owner == owner) SetTransientFor(dialog, minimized ? nullptr : owner);
}
