// The notes of a batch as a table beside its summary: what could not be
// read or analysed and why, and what an analysis noted, one row each, so
// that a program reading the summary also reads what it lacks.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace telmor {

// recording: the name the summary gives it; lead: empty for the whole
// recording; kind: failed (tried and not analysed), skipped (not tried: its
// results kept, or an entry that is no recording), note (analysed, with
// something to say); reason: the message standard error shows.
inline constexpr std::string_view kNotesHeader = "recording,lead,kind,reason";

enum class NoteKind { failed, skipped, note };

struct BatchNote {
  NoteKind kind = NoteKind::note;
  std::string reason;
};

// Appends one row (with its line end).
void append_note_row(std::string& table, std::string_view recording, NoteKind kind, std::string_view reason);

// The notes table of a summary: NAME-notes.csv beside NAME.csv.
std::filesystem::path notes_file_for(const std::filesystem::path& summary);

}  // namespace telmor
