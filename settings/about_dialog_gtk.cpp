// The options dialog in GTK 3, placed on a fixed grid from the dialog
// template so that it looks like the Windows dialog; the behaviour lives in
// about_dialog.cpp and settings_file.cpp.
#include "settings/about_dialog_gtk.h"

#include <fontconfig/fontconfig.h>
#include <gtk/gtk.h>
#include <unistd.h>
#ifdef GDK_WINDOWING_X11
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#endif

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/data_files.h"
#include "common/utf_conversion.h"
#include "common/wide_format.h"
#include "settings/about_dialog.h"
#include "settings/link_launch_posix.h"
#include "settings/profile_posix.h"
#include "settings/settings_file.h"

const char* AboutIconFile = nullptr;

namespace {

struct OptionsDialog {
  GtkWidget* window = nullptr;
  GtkWidget* colorBox = nullptr;
  GtkWidget* hanBox = nullptr;
  GtkWidget* okButton = nullptr;
  int colorState = 0;
  int hanState = 0;
  bool applyingState = false;
  GdkPixbuf* icon = nullptr;
  GdkWindow* owner = nullptr;
  int endCode = 0;
};

std::string Utf8(const std::u16string& text) { return Utf16ToUtf8(text); }
std::string Utf8(const char16_t* text) { return Utf16ToUtf8(text, WideLength(text)); }

// The dialog's own font: fontconfig's generic CJK sans turns into the Kai
// face once that is installed, so the face is named outright.
constexpr char kDialogFont[] = "Noto Sans CJK SC";

// Whether fontconfig has a font that shows every character of the dialog's
// texts. Without one GTK lays the texts out in no font at all: a window
// taller than the screen whose text and buttons cannot be seen.
bool DialogFontFound() {
  // A configuration of its own, gone after the look: GTK loads the default
  // one as it starts.
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (config == nullptr) return false;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(kDialogFont));
  if (pattern == nullptr) {
    FcConfigDestroy(config);
    return false;
  }
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  FcCharSet* characters = nullptr;
  bool found = match != nullptr && FcPatternGetCharSet(match, FC_CHARSET, 0, &characters) == FcResultMatch;
  ComposeDialogTexts();
  for (const std::u16string& text : {std::u16string(kDialogCaption), std::u16string(kColorBoxText),
                                     std::u16string(kHanBoxText), std::u16string(kOkButtonText), CreditLine}) {
    for (int i = 0; found && i < static_cast<int>(text.size());) {
      found = FcCharSetHasChar(characters, NextCodePoint(text.data(), static_cast<int>(text.size()), &i));
    }
  }
  if (match != nullptr) FcPatternDestroy(match);
  FcConfigDestroy(config);
  return found;
}

#ifdef GDK_WINDOWING_X11
// GDK ends the process on a lost X connection with its own words, or none;
// the dialog says it as the saver does.
[[noreturn]] int XDisplayLost(Display*) {
  static const char kMessage[] = "orbidial: lost the connection to the X display\n";
  ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  (void)ignored;
  _exit(1);
}
#endif

std::string DialogCss() {
  char link[8];
  std::snprintf(link, sizeof link, "#%02x%02x%02x", kLinkColor & 0xFF, (kLinkColor >> 8) & 0xFF,
                (kLinkColor >> 16) & 0xFF);
  return std::string("* { font-family: \"") + kDialogFont + "\"; font-size: 9pt; }\n" +
         "#orbidial-link { color: " +
         link +
         "; }\n"
         "#orbidial-options button { padding: 0 6px; min-height: 0; }\n"
         "#orbidial-options checkbutton { padding: 0; }\n";
}

void ApplyCss() {
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, DialogCss().c_str(), -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

GdkPixbuf* LoadAboutIcon() {
  const std::string installed = DataFile("icons/hicolor/64x64/apps/orbidial.png");
  const char* candidates[] = {AboutIconFile, installed.c_str()};
  for (const char* file : candidates) {
    if (file == nullptr) continue;
    GdkPixbuf* icon = gdk_pixbuf_new_from_file_at_scale(file, kIconSize, kIconSize, FALSE, nullptr);
    if (icon != nullptr) return icon;
  }
  return nullptr;
}

void ShowBoxState(OptionsDialog& dialog, GtkWidget* box, int state) {
  dialog.applyingState = true;
  gtk_toggle_button_set_inconsistent(GTK_TOGGLE_BUTTON(box), state == 2);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(box), state != 0);
  dialog.applyingState = false;
}

// GTK flips a check button between two states; the boxes follow the dialog's
// own cycle instead, three states for the numeral style.
void OnBoxToggled(GtkToggleButton* button, gpointer data) {
  auto& dialog = *static_cast<OptionsDialog*>(data);
  if (dialog.applyingState) return;
  if (GTK_WIDGET(button) == dialog.colorBox) {
    dialog.colorState = NextCheckState(dialog.colorState, kTwoStateMax);
    ShowBoxState(dialog, dialog.colorBox, dialog.colorState);
  } else {
    dialog.hanState = NextCheckState(dialog.hanState, kThreeStateMax);
    ShowBoxState(dialog, dialog.hanBox, dialog.hanState);
  }
}

void EndDialog(OptionsDialog& dialog, int code) {
  if (dialog.endCode != 0) return;
  dialog.endCode = code;
  gtk_main_quit();
}

void ShowSaveWarning(const OptionsDialog& dialog);

void Confirm(OptionsDialog& dialog) {
  // One save per dialog, however fast OK is pressed again.
  if (dialog.endCode != 0) return;
  SaverOptions options;
  options.ColorByWeekday = dialog.colorState;
  options.NumeralStyle = static_cast<std::int16_t>(dialog.hanState);
  if (SaveSettings(options) == 0) ShowSaveWarning(dialog);
  EndDialog(dialog, kOkId);
}

void OnOkClicked(GtkButton*, gpointer data) { Confirm(*static_cast<OptionsDialog*>(data)); }

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  EndDialog(*static_cast<OptionsDialog*>(data), kCancelId);
  return TRUE;
}

// Tab walks the controls in the template's order, as the Windows dialog
// does, rather than GTK's order by position.
void MoveFocus(OptionsDialog& dialog, bool forward) {
  GtkWidget* order[] = {dialog.colorBox, dialog.okButton, dialog.hanBox};
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(dialog.window));
  int at = 0;
  for (int i = 0; i < 3; ++i) {
    if (order[i] == focus) at = i;
  }
  gtk_widget_grab_focus(order[(at + (forward ? 1 : 2)) % 3]);
}

// Enter confirms from any control and Esc cancels, as in a Windows dialog;
// this runs before the focused control sees the key.
gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& dialog = *static_cast<OptionsDialog*>(data);
  switch (event->keyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab:
    case GDK_KEY_ISO_Left_Tab:
      MoveFocus(dialog, event->keyval != GDK_KEY_ISO_Left_Tab && (event->state & GDK_SHIFT_MASK) == 0);
      return TRUE;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      Confirm(dialog);
      return TRUE;
    case GDK_KEY_Escape:
      EndDialog(dialog, kCancelId);
      return TRUE;
    default:
      return FALSE;
  }
}

gboolean OnDraw(GtkWidget* area, cairo_t* cr, gpointer data) {
  auto& dialog = *static_cast<OptionsDialog*>(data);
  if (dialog.icon != nullptr) {
    gdk_cairo_set_source_pixbuf(cr, dialog.icon, kIconX, kIconY);
    cairo_paint(cr);
  }
  const int end = std::min(SeparatorEndX(), gtk_widget_get_allocated_width(area));
  cairo_set_source_rgb(cr, (kSeparatorColor & 0xFF) / 255.0, ((kSeparatorColor >> 8) & 0xFF) / 255.0,
                       ((kSeparatorColor >> 16) & 0xFF) / 255.0);
  cairo_set_line_width(cr, 1.0);
  cairo_move_to(cr, 0, SeparatorY() + 0.5);
  cairo_line_to(cr, end, SeparatorY() + 0.5);
  cairo_stroke(cr);
  return FALSE;
}

gboolean OnMotion(GtkWidget* area, GdkEventMotion* event, gpointer) {
  switch (TrackLinkCursor(static_cast<int>(event->x), static_cast<int>(event->y))) {
    case CursorChange::ToHand: {
      GdkCursor* hand = gdk_cursor_new_from_name(gtk_widget_get_display(area), "pointer");
      gdk_window_set_cursor(gtk_widget_get_window(area), hand);
      if (hand != nullptr) g_object_unref(hand);
      break;
    }
    case CursorChange::ToArrow:
      gdk_window_set_cursor(gtk_widget_get_window(area), nullptr);
      break;
    case CursorChange::Keep:
      break;
  }
  return FALSE;
}

gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer) {
  if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY) {
    ClickLink(static_cast<int>(event->x), static_cast<int>(event->y));
  }
  return FALSE;
}

void CollectLauncher(GPid process, gint, gpointer) { g_spawn_close_pid(process); }

void WatchLauncher(pid_t process) { g_child_watch_add(process, CollectLauncher, nullptr); }

void Place(GtkFixed* fixed, GtkWidget* widget, const DialogItem& item) {
  gtk_widget_set_size_request(widget, DialogUnitsToPixelsX(item.width), DialogUnitsToPixelsY(item.height));
  gtk_fixed_put(fixed, widget, DialogUnitsToPixelsX(item.x), DialogUnitsToPixelsY(item.y));
}

GtkWidget* AddLine(GtkFixed* fixed, const std::u16string& text, const DialogItem& item) {
  GtkWidget* label = gtk_label_new(Utf8(text).c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
  Place(fixed, label, item);
  return label;
}

// Keeps the dialog above the foreign window that owns it, when that window
// exists; a stale or made-up id is ignored quietly.
void SetOwner(OptionsDialog& dialog, unsigned long ownerXid) {
#ifdef GDK_WINDOWING_X11
  GdkDisplay* display = gdk_display_get_default();
  if (ownerXid == 0 || ownerXid > 0x1FFFFFFFul || !GDK_IS_X11_DISPLAY(display)) return;
  dialog.owner = gdk_x11_window_foreign_new_for_display(display, ownerXid);
  if (dialog.owner != nullptr) gdk_window_set_transient_for(gtk_widget_get_window(dialog.window), dialog.owner);
#else
  (void)dialog;
  (void)ownerXid;
#endif
}

void BuildDialog(OptionsDialog& dialog, const SaverOptions& shown) {
  ComposeDialogTexts();
  dialog.icon = LoadAboutIcon();

  dialog.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* window = GTK_WINDOW(dialog.window);
  gtk_widget_set_name(dialog.window, "orbidial-options");
  gtk_window_set_title(window, Utf8(kDialogCaption).c_str());
  gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_modal(window, TRUE);
  gtk_window_set_position(window, GTK_WIN_POS_CENTER);
  if (dialog.icon != nullptr) gtk_window_set_icon(window, dialog.icon);

  GtkWidget* fixedWidget = gtk_fixed_new();
  GtkFixed* fixed = GTK_FIXED(fixedWidget);
  gtk_container_add(GTK_CONTAINER(window), fixedWidget);

  // The client area: icon and separator drawn on it, mouse moves and clicks
  // over the (input-less) text lines reach it, as they reach a dialog.
  GtkWidget* area = gtk_drawing_area_new();
  gtk_widget_set_size_request(area, DialogUnitsToPixelsX(kDialogWidth), DialogUnitsToPixelsY(kDialogHeight));
  gtk_widget_add_events(area, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK);
  gtk_fixed_put(fixed, area, 0, 0);
  g_signal_connect(area, "draw", G_CALLBACK(OnDraw), &dialog);
  g_signal_connect(area, "motion-notify-event", G_CALLBACK(OnMotion), &dialog);
  g_signal_connect(area, "button-press-event", G_CALLBACK(OnButtonPress), &dialog);

  // In the template's creation order.
  AddLine(fixed, VersionLine, kVersionLineItem);
  AddLine(fixed, CreditLine, kCreditLineItem);
  GtkWidget* link = AddLine(fixed, WebAddressLine, kWebAddressLineItem);
  gtk_widget_set_name(link, "orbidial-link");
  // The line is as wide as the template's; a long address is shortened in the
  // middle, with the whole of it in the tooltip.
  gtk_label_set_ellipsize(GTK_LABEL(link), PANGO_ELLIPSIZE_MIDDLE);
  gtk_label_set_max_width_chars(GTK_LABEL(link), 1);
  gtk_widget_set_tooltip_text(link, Utf8(LinkCommandLine).c_str());
  AddLine(fixed, ContactLine, kContactLineItem);

  dialog.colorBox = gtk_check_button_new_with_label(Utf8(kColorBoxText).c_str());
  Place(fixed, dialog.colorBox, kColorBoxItem);
  GtkWidget* ok = gtk_button_new_with_label(Utf8(kOkButtonText).c_str());
  dialog.okButton = ok;
  Place(fixed, ok, kOkButtonItem);
  dialog.hanBox = gtk_check_button_new_with_label(Utf8(kHanBoxText).c_str());
  Place(fixed, dialog.hanBox, kHanBoxItem);

  dialog.colorState = InitialCheckState(shown.ColorByWeekday, kTwoStateMax);
  dialog.hanState = InitialCheckState(shown.NumeralStyle, kThreeStateMax);
  ShowBoxState(dialog, dialog.colorBox, dialog.colorState);
  ShowBoxState(dialog, dialog.hanBox, dialog.hanState);
  g_signal_connect(dialog.colorBox, "toggled", G_CALLBACK(OnBoxToggled), &dialog);
  g_signal_connect(dialog.hanBox, "toggled", G_CALLBACK(OnBoxToggled), &dialog);

  gtk_widget_set_can_default(ok, TRUE);
  gtk_window_set_default(window, ok);
  g_signal_connect(ok, "clicked", G_CALLBACK(OnOkClicked), &dialog);
  g_signal_connect(dialog.window, "key-press-event", G_CALLBACK(OnKeyPress), &dialog);
  g_signal_connect(dialog.window, "delete-event", G_CALLBACK(OnDelete), &dialog);
  gtk_window_set_focus(window, dialog.colorBox);
}

void ShowSaveWarning(const OptionsDialog& dialog) {
  // The box keeps its fixed words; what the system said goes beside it.
  if (!SettingsFailure.empty()) {
    std::fprintf(stderr, "orbidial: the settings were not saved: %s\n", SettingsFailure.c_str());
  }
  GtkWindow* parent = dialog.window != nullptr ? GTK_WINDOW(dialog.window) : nullptr;
  GtkWidget* box = gtk_message_dialog_new(parent, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                          GTK_MESSAGE_WARNING, GTK_BUTTONS_OK, "%s", Utf8(kSaveWarningText).c_str());
  gtk_window_set_title(GTK_WINDOW(box), Utf8(kSaveWarningCaption).c_str());
  // GTK 3 message boxes no longer show their type's icon; the warning's is
  // put back where it used to stand, left of the text.
  GtkWidget* row = gtk_widget_get_parent(gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(box)));
  if (GTK_IS_BOX(row)) {
    GtkWidget* image = gtk_image_new_from_icon_name("dialog-warning", GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(row), image, 0);
    gtk_widget_show(image);
  }
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
}

}  // namespace

int RunOptionsDialog(const SaverOptions& shown, unsigned long ownerXid) {
  // Fonts first, as the saver looks for its fonts before its display.
  if (!DialogFontFound()) {
    std::fprintf(stderr, "orbidial: no font for the options dialog's text %s (install fonts-noto-cjk)\n",
                 kDialogFont);
    return kDialogNoFont;
  }
  if (g_get_prgname() == nullptr) g_set_prgname("orbidial");
  if (!gtk_init_check(nullptr, nullptr)) {
    std::fprintf(stderr, "orbidial: cannot open the display for the options dialog\n");
    return 0;
  }
#ifdef GDK_WINDOWING_X11
  if (GDK_IS_X11_DISPLAY(gdk_display_get_default())) XSetIOErrorHandler(XDisplayLost);
#endif
  ApplyCss();
  LinkProcessStarted = WatchLauncher;

  OptionsDialog dialog;
  BuildDialog(dialog, shown);
  gtk_widget_realize(dialog.window);
  SetOwner(dialog, ownerXid);
  gtk_widget_show_all(dialog.window);
  gtk_main();

  gtk_widget_destroy(dialog.window);
  if (dialog.owner != nullptr) g_object_unref(dialog.owner);
  if (dialog.icon != nullptr) g_object_unref(dialog.icon);
  LinkProcessStarted = nullptr;
  // Let the window's destruction reach the X server before the caller exits.
  while (gtk_events_pending()) gtk_main_iteration();
  return dialog.endCode;
}
