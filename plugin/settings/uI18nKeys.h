// Every translation key of the plug-in with its English default, in one
// place, so each caller passes the same default to tr. Leading blanks in the
// status texts are part of the text (they separate status bar parts); "%d"
// and "%s" are filled in by the caller.
#pragma once

#include <cstddef>
#include <string_view>

namespace corvane {

struct TI18nKey {
  std::string_view Key;
  std::u16string_view English;
};

namespace i18n {

inline constexpr TI18nKey kTypeNull{"type.null", u"NULL"};
inline constexpr TI18nKey kTypeBoolean{"type.boolean", u"BOOLEAN"};
inline constexpr TI18nKey kTypeNumber{"type.number", u"NUMBER"};
inline constexpr TI18nKey kTypeString{"type.string", u"STRING"};
inline constexpr TI18nKey kTypeArray{"type.array", u"ARRAY"};
inline constexpr TI18nKey kTypeObject{"type.object", u"OBJECT"};
inline constexpr TI18nKey kMenuCopy{"menu.copy", u"Copy"};
inline constexpr TI18nKey kMenuCopyRows{"menu.copy_rows", u"Copy row(s) (Shift+C)"};
inline constexpr TI18nKey kMenuCopyColumn{"menu.copy_column", u"Copy column (Ctrl+C)"};
inline constexpr TI18nKey kMenuCopyJson{"menu.copy_json", u"Copy as JSON"};
inline constexpr TI18nKey kMenuCopyPath{"menu.copy_path", u"Copy path"};
inline constexpr TI18nKey kMenuSelectItem{"menu.select_item", u"Select corresponding item"};
inline constexpr TI18nKey kMenuHideColumn{"menu.hide_column", u"Hide column"};
inline constexpr TI18nKey kMenuShowColumns{"menu.show_columns", u"Show all columns (Ctrl+Space)"};
inline constexpr TI18nKey kMenuInsertRow{"menu.insert_row", u"Insert row below"};
inline constexpr TI18nKey kMenuDeleteRow{"menu.delete_row", u"Delete row"};
inline constexpr TI18nKey kMenuDeleteColumn{"menu.delete_column", u"Delete column"};
inline constexpr TI18nKey kMenuFilters{"menu.filters", u"Filters"};
inline constexpr TI18nKey kMenuEditMode{"menu.edit_mode", u"Edit mode (Ctrl+E)"};
inline constexpr TI18nKey kMenuSave{"menu.save", u"Save changes (Ctrl+S)"};
inline constexpr TI18nKey kMenuThemeTc{"menu.theme_tc", u"Theme: Total Commander"};
inline constexpr TI18nKey kMenuThemeLight{"menu.theme_light", u"Theme: light"};
inline constexpr TI18nKey kMenuThemeDark{"menu.theme_dark", u"Theme: dark"};
inline constexpr TI18nKey kFlatAll{"flat.all", u"-1 (Path / Value)"};
inline constexpr TI18nKey kErrorFormat{"error.format", u"Only YAML and TOML files are supported"};
inline constexpr TI18nKey kErrorLoad{"error.load", u"YAML/TOML could not be loaded"};
inline constexpr TI18nKey kTabGrid{"tab.grid", u"Grid"};
inline constexpr TI18nKey kTabText{"tab.text", u"Text"};
inline constexpr TI18nKey kTreeRoot{"tree.root", u"<<root>>"};
inline constexpr TI18nKey kGridAttribute{"grid.attribute", u"Attribute"};
inline constexpr TI18nKey kGridElement{"grid.element", u"Element"};
inline constexpr TI18nKey kGridValue{"grid.value", u"Value"};
inline constexpr TI18nKey kGridPath{"grid.path", u"Path"};
inline constexpr TI18nKey kStatusFlat{"status.flat", u" Flat: %d"};
inline constexpr TI18nKey kStatusRows{"status.rows", u" Rows: %d/%d"};
inline constexpr TI18nKey kStatusReadOnly{"status.read_only", u" READ ONLY"};
inline constexpr TI18nKey kStatusEditing{"status.editing", u" EDITING"};
inline constexpr TI18nKey kStatusOverlapping{"status.overlapping", u" OVERLAPPING EDIT"};
inline constexpr TI18nKey kStatusInvalidNumber{"status.invalid_number", u" INVALID NUMBER"};
inline constexpr TI18nKey kStatusTrueFalse{"status.true_false", u" USE true OR false"};
inline constexpr TI18nKey kStatusNull{"status.null", u" USE null"};
inline constexpr TI18nKey kStatusInvalidValue{"status.invalid_value", u" INVALID VALUE"};
inline constexpr TI18nKey kStatusEdit{"status.edit", u" EDIT MODE"};
inline constexpr TI18nKey kStatusEditDirty{"status.edit_dirty", u" EDIT MODE *"};
inline constexpr TI18nKey kStatusModified{"status.modified", u" MODIFIED *"};
inline constexpr TI18nKey kStatusNoChanges{"status.no_changes", u" NO CHANGES"};
inline constexpr TI18nKey kStatusSaved{"status.saved", u" SAVED"};
inline constexpr TI18nKey kStatusSaveFailed{"status.save_failed", u" SAVE FAILED: %s"};
// The volume could not replace the file in place: saved by a plain move.
inline constexpr TI18nKey kStatusSavedPlainMove{"status.saved_plain_move", u" SAVED (permissions and streams not kept)"};
inline constexpr TI18nKey kStatusLinkRefused{"status.link_refused", u" ONLY WEB LINKS (HTTP, HTTPS) ARE OPENED"};
inline constexpr TI18nKey kStatusLoadErrorAt{"status.load_error_at", u" NOT LOADED (line %d, column %d): %s"};
inline constexpr TI18nKey kStatusLoadErrorLine{"status.load_error_line", u" NOT LOADED (line %d): %s"};
inline constexpr TI18nKey kStatusLoadError{"status.load_error", u" NOT LOADED: %s"};
inline constexpr TI18nKey kStatusCellMultiline{"status.cell_multiline", u" This text has line breaks; the cell editor holds one line"};
inline constexpr TI18nKey kStatusCellTooLong{"status.cell_too_long", u" This text is longer than the 4095 characters the cell editor holds"};
inline constexpr TI18nKey kStatusCellNul{"status.cell_nul", u" This text holds a NUL character, which the cell editor cannot hold"};
inline constexpr TI18nKey kDialogUnsavedKept{"dialog.unsaved_kept", u"Your changes were written to \"%s\"."};
inline constexpr TI18nKey kDialogUnsavedLost{"dialog.unsaved_lost", u"Your changes could not be written anywhere and are lost."};
inline constexpr TI18nKey kDialogSaveBeforeClose{"dialog.save_before_close", u"Save changes to \"%s\" before closing?"};
inline constexpr TI18nKey kErrorUnsafeEdit{"error.unsafe_edit", u"This value cannot be edited without changing its syntax"};
inline constexpr TI18nKey kErrorTomlAmbiguous{"error.toml_ambiguous", u"TOML value position is ambiguous or unsupported"};
inline constexpr TI18nKey kErrorUnsafeKey{"error.unsafe_key", u"This key cannot be renamed safely"};
inline constexpr TI18nKey kErrorAliasValue{"error.alias_value", u"This value is an alias of another value: edit the anchored value it stands for"};
inline constexpr TI18nKey kErrorMergeKey{"error.merge_key", u"A merge key (<<) names the mappings merged here: it cannot be edited or renamed"};
inline constexpr TI18nKey kErrorPathParent{"error.path_parent", u"Only the final key may be renamed"};
inline constexpr TI18nKey kErrorDuplicateKey{"error.duplicate_key", u"Empty or duplicate key"};
inline constexpr TI18nKey kErrorRead{"error.read", u"Cannot read source file"};
inline constexpr TI18nKey kErrorNoSource{"error.no_source", u"No source file loaded"};
inline constexpr TI18nKey kErrorReread{"error.reread", u"Cannot reread source file"};
inline constexpr TI18nKey kErrorChanged{"error.changed", u"Source file changed outside corvane"};
inline constexpr TI18nKey kErrorTemp{"error.temp", u"Cannot create temporary file"};
inline constexpr TI18nKey kErrorWriteTemp{"error.write_temp", u"Cannot write temporary file"};
inline constexpr TI18nKey kErrorReplace{"error.replace", u"Cannot replace source file"};
inline constexpr TI18nKey kErrorReadOnly{"error.read_only", u"Source file is read-only"};
inline constexpr TI18nKey kErrorTooLarge{"error.too_large", u"File exceeds configured max-file-size"};
inline constexpr TI18nKey kErrorOutOfMemory{"error.out_of_memory", u"Not enough memory to load the document"};
inline constexpr TI18nKey kErrorEntryUnsafe{"error.entry_unsafe", u"This entry cannot be removed without changing other entries"};
inline constexpr TI18nKey kErrorEntryAddUnsafe{"error.entry_add_unsafe", u"No entry can be added here without changing other entries"};
inline constexpr TI18nKey kErrorEntryCopyUnsafe{"error.entry_copy_unsafe", u"This entry cannot be copied without changing other entries"};
inline constexpr TI18nKey kErrorEntryCopyLongKey{"error.entry_copy_long_key", u"The key is too long for a copy to get a key of its own"};
inline constexpr TI18nKey kErrorEntryAnchor{"error.entry_anchor", u"An alias elsewhere uses an anchor defined in this entry"};
inline constexpr TI18nKey kErrorEntryCopyAnchor{"error.entry_copy_anchor", u"This entry defines an anchor, which a copy would define a second time"};
inline constexpr TI18nKey kErrorEntryLast{"error.entry_last", u"The table or array has no header of its own and would disappear with its last entry"};
inline constexpr TI18nKey kErrorEntryDocument{"error.entry_document", u"A whole document cannot be removed or copied"};
inline constexpr TI18nKey kErrorEntryExists{"error.entry_exists", u"An entry with this key exists already"};
inline constexpr TI18nKey kErrorEntryContainer{"error.entry_container", u"Entries are added to a mapping or table with a key, to a sequence or array without one"};
inline constexpr TI18nKey kErrorNoEntryRow{"error.no_entry_row", u"Select a row that is an entry of a mapping, sequence, table or array"};
inline constexpr TI18nKey kErrorColumnNotMember{"error.column_not_member", u"Only a column of the members of an array's objects can be deleted"};
inline constexpr TI18nKey kErrorStructureEditMode{"error.structure_edit_mode", u"Switch edit mode on (Ctrl+E) to add or delete entries"};
inline constexpr TI18nKey kDialogDeleteRow{"dialog.delete_row", u"Delete \"%s\"?"};
inline constexpr TI18nKey kDialogDeleteColumn{"dialog.delete_column", u"Delete \"%s\" from every row?"};

}  // namespace i18n

// All keys above, in table order.
extern const TI18nKey* const kAllI18nKeys[];
extern const size_t kAllI18nKeyCount;

}  // namespace corvane
