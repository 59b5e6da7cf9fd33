// Rows of the notes table.
#include "notes_table.h"

#include "base/csv_text.h"
#include "base/utf8_path.h"

namespace telmor {
namespace {

std::string_view kind_name(NoteKind kind) {
  switch (kind) {
    case NoteKind::failed:
      return "failed";
    case NoteKind::skipped:
      return "skipped";
    case NoteKind::note:
      break;
  }
  return "note";
}

}  // namespace

void append_note_row(std::string& table, std::string_view recording, NoteKind kind, std::string_view reason) {
  append_csv_name(table, recording);
  table += ",,";
  table += kind_name(kind);
  table += ',';
  append_csv_name(table, reason);
  table += '\n';
}

std::filesystem::path notes_file_for(const std::filesystem::path& summary) {
  return summary.parent_path() / path_from_utf8(utf8_from_path(summary.stem()) + "-notes.csv");
}

}  // namespace telmor
