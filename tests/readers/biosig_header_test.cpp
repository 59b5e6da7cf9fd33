// The EDF/BDF/GDF header checks: a header that agrees with itself and with
// its file passes with its layout; every field the standards fix, damaged
// one at a time, is refused with that field (and its signal), before
// libbiosig ever sees the file.
#include <gtest/gtest.h>

#include <biosig.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "readers/biosig_header.h"
#include "readers/recording_formats.h"
#include "readers/recording_limits.h"
#include "support/edf_writer.h"
#include "support/test_files.h"

namespace telmor {
namespace {

// Three leads of 4 s at 250 Hz, one record a second.
Recording three_leads() {
  Recording r(3, 1000);
  r.rate_hz = 250.0;
  for (int j = 1; j <= 3; ++j)
    for (int i = 1; i <= 1000; ++i) r.value(j, i) = static_cast<float>(std::sin(0.01 * i * j));
  r.labels = {"V1", "V2", "V3"};
  return r;
}

RecordingProblem check(const std::string& bytes, BiosigLayout& layout) {
  return check_biosig_header(bytes, bytes.size(), layout);
}

TEST(BiosigHeader, SoundEdfAndBdfGiveTheirLayout) {
  for (const bool bdf : {false, true}) {
    const std::string bytes = test::edf_bytes(three_leads(), bdf);
    BiosigLayout layout;
    const RecordingProblem p = check(bytes, layout);
    ASSERT_FALSE(p) << p.detail;
    EXPECT_EQ(layout.kind, bdf ? BiosigKind::bdf : BiosigKind::edf);
    EXPECT_EQ(layout.header_bytes, 256u * 4);
    EXPECT_EQ(layout.records, 4u);
    EXPECT_EQ(layout.record_bytes, 3u * 250 * (bdf ? 3 : 2));
    ASSERT_EQ(layout.signals.size(), 3u);
    EXPECT_EQ(layout.signals[1].label, "V2");
    EXPECT_EQ(layout.signals[2].samples_per_record, 250u);
  }
}

// One damage of a sound EDF of 3 signals: what the file then holds, and the
// refusal the standard calls for.
struct Damage {
  const char* what;
  std::function<void(std::string&)> damage;
  RecordingFault fault;
  HeaderField field;
  int signal;
};

void put(std::string& b, std::size_t at, std::size_t width, const std::string& v) { test::put_edf_field(b, at, width, v); }
std::size_t signal_field(int field, int k) { return test::edf_signal_field_at(3, field, k); }

TEST(BiosigHeader, EachDamagedEdfFieldIsRefusedByName) {
  const std::vector<Damage> damages = {
      {"header length 0", [](std::string& b) { put(b, 184, 8, "0"); }, RecordingFault::header_invalid,
       HeaderField::header_bytes, 0},
      {"header length of 2 signals", [](std::string& b) { put(b, 184, 8, "768"); }, RecordingFault::header_invalid,
       HeaderField::header_bytes, 0},
      {"header length not a number", [](std::string& b) { put(b, 184, 8, "1O24"); }, RecordingFault::header_invalid,
       HeaderField::header_bytes, 0},
      {"signals -1", [](std::string& b) { put(b, 252, 4, "-1"); }, RecordingFault::header_invalid,
       HeaderField::signal_count, 0},
      {"signals 0", [](std::string& b) { put(b, 252, 4, "0"); }, RecordingFault::header_invalid,
       HeaderField::signal_count, 0},
      {"signals beyond the bound", [](std::string& b) { put(b, 252, 4, "9999"); }, RecordingFault::header_invalid,
       HeaderField::signal_count, 0},
      {"records 99999999 of 4", [](std::string& b) { put(b, 236, 8, "99999999"); }, RecordingFault::data_missing,
       HeaderField::none, 0},
      {"records 0", [](std::string& b) { put(b, 236, 8, "0"); }, RecordingFault::header_invalid,
       HeaderField::record_count, 0},
      {"records -2", [](std::string& b) { put(b, 236, 8, "-2"); }, RecordingFault::header_invalid,
       HeaderField::record_count, 0},
      {"duration 0", [](std::string& b) { put(b, 244, 8, "0"); }, RecordingFault::header_invalid,
       HeaderField::record_duration, 0},
      {"duration abc", [](std::string& b) { put(b, 244, 8, "abc"); }, RecordingFault::header_invalid,
       HeaderField::record_duration, 0},
      {"digital minimum above maximum",
       [](std::string& b) {
         put(b, signal_field(test::kEdfDigMin, 1), 8, "32767");
         put(b, signal_field(test::kEdfDigMax, 1), 8, "-32768");
       },
       RecordingFault::header_invalid, HeaderField::digital_range, 2},
      {"digital minimum equal to maximum", [](std::string& b) { put(b, signal_field(test::kEdfDigMin, 2), 8, "32767"); },
       RecordingFault::header_invalid, HeaderField::digital_range, 3},
      {"digital maximum beyond 16 bits", [](std::string& b) { put(b, signal_field(test::kEdfDigMax, 0), 8, "40000"); },
       RecordingFault::header_invalid, HeaderField::digital_range, 1},
      {"physical minimum abc", [](std::string& b) { put(b, signal_field(test::kEdfPhysMin, 0), 8, "abc"); },
       RecordingFault::header_invalid, HeaderField::physical_minimum, 1},
      {"physical maximum empty", [](std::string& b) { put(b, signal_field(test::kEdfPhysMax, 2), 8, ""); },
       RecordingFault::header_invalid, HeaderField::physical_maximum, 3},
      {"physical minimum equal to maximum",
       [](std::string& b) {
         put(b, signal_field(test::kEdfPhysMin, 1), 8, "5");
         put(b, signal_field(test::kEdfPhysMax, 1), 8, "5");
       },
       RecordingFault::header_invalid, HeaderField::physical_range, 2},
      {"samples per record 0", [](std::string& b) { put(b, signal_field(test::kEdfSamplesPerRecord, 1), 8, "0"); },
       RecordingFault::header_invalid, HeaderField::samples_per_record, 2},
      {"samples per record beyond the file",
       [](std::string& b) { put(b, signal_field(test::kEdfSamplesPerRecord, 0), 8, "99999999"); },
       RecordingFault::data_missing, HeaderField::none, 0},
      {"cut within the last record", [](std::string& b) { b.resize(b.size() - 10); }, RecordingFault::data_missing,
       HeaderField::none, 0},
      {"cut within the header", [](std::string& b) { b.resize(600); }, RecordingFault::header_invalid,
       HeaderField::header_bytes, 0},
      {"version not 0", [](std::string& b) { b[0] = '1'; }, RecordingFault::header_invalid, HeaderField::version, 0},
  };
  for (const Damage& d : damages) {
    std::string bytes = test::edf_bytes(three_leads(), false);
    d.damage(bytes);
    BiosigLayout layout;
    const RecordingProblem p = check(bytes, layout);
    EXPECT_EQ(p.fault, d.fault) << d.what;
    EXPECT_EQ(p.field, d.field) << d.what;
    EXPECT_EQ(p.leads, d.signal) << d.what;
  }
}

TEST(BiosigHeader, ACutFileSaysWhatItHoldsAndARecordCountOfMinusOneTakesIt) {
  std::string bytes = test::edf_bytes(three_leads(), false);
  const std::size_t record = 3 * 250 * 2;
  bytes.resize(bytes.size() - record - 7);  // 2 whole records and part of a third
  BiosigLayout layout;
  RecordingProblem p = check(bytes, layout);
  EXPECT_EQ(p.fault, RecordingFault::data_missing);
  EXPECT_EQ(p.row, 2);
  EXPECT_EQ(p.count, 4);
  test::put_edf_field(bytes, 236, 8, "-1");  // still being recorded: as many as there are
  p = check(bytes, layout);
  ASSERT_FALSE(p) << p.detail;
  EXPECT_EQ(layout.records, 2u);
}

TEST(BiosigHeader, Latin1LabelsComeOutAsUtf8) {
  Recording r = three_leads();
  r.labels = {"\xC9lectrode", "V\x1b[2J", "M\xC3\xBCller"};
  BiosigLayout layout;
  const std::string bytes = test::edf_bytes(r, false);
  ASSERT_FALSE(check(bytes, layout));
  EXPECT_EQ(layout.signals[0].label, "\xC3\x89lectrode");
  EXPECT_EQ(layout.signals[1].label, "V\\x1B[2J");
  EXPECT_EQ(layout.signals[2].label, "M\xC3\xBCller");
}

// A GDF as biosig writes it: 3 float signals of 1000 samples a record, 2 records.
std::string gdf_bytes(const test::ScratchDir& dir) {
  const auto file = dir / "three.gdf";
  HDRTYPE* hdr = constructHDR(3, 0);
  biosig_set_filetype(hdr, GDF);
  biosig_set_samplerate(hdr, 1000.0);
  biosig_set_number_of_samples(hdr, 2, 1000);
  for (int k = 0; k < 3; ++k) {
    CHANNEL_TYPE* c = biosig_get_channel(hdr, k);
    biosig_channel_set_label(c, ("L" + std::to_string(k + 1)).c_str());
    biosig_channel_set_datatype(c, 16);
    biosig_channel_set_scaling(c, 1e6, -1e6, 1e6, -1e6);
    hdr->CHANNEL[k].SPR = 1000;
    hdr->CHANNEL[k].OnOff = 1;
  }
  hdr = sopen(file.string().c_str(), "w", hdr);
  std::vector<double> data(6000, 0.25);
  swrite(data.data(), 2, hdr);
  sclose(hdr);
  destructHDR(hdr);
  return test::read_whole_file(file);
}

template <typename T>
void put_binary(std::string& b, std::size_t at, T value) {
  std::memcpy(b.data() + at, &value, sizeof value);
}

TEST(BiosigHeader, GdfAsBiosigWritesItAndDamaged) {
  test::ScratchDir dir;
  const std::string sound = gdf_bytes(dir);
  BiosigLayout layout;
  const RecordingProblem ok = check(sound, layout);
  ASSERT_FALSE(ok) << ok.detail;
  EXPECT_EQ(layout.kind, BiosigKind::gdf2);
  EXPECT_EQ(layout.records, 2u);
  EXPECT_EQ(layout.record_bytes, 3u * 1000 * 4);
  ASSERT_EQ(layout.signals.size(), 3u);
  EXPECT_EQ(layout.signals[2].label, "L3");

  // The fields of GDF 2 (and 3): signals at 252, header blocks at 184, the
  // records at 236; a signal's digital range after 16 + 80 + 6 + 2 + 8 + 8
  // bytes of every signal's fields.
  const std::size_t ns = 3, digmin = 256 + ns * (16 + 80 + 6 + 2 + 8 + 8), digmax = digmin + 8 * ns;
  const std::size_t type = 256 + ns * (16 + 80 + 6 + 2 + 8 + 8 + 8 + 8 + 68 + 4 + 4 + 4 + 4);
  const std::vector<Damage> damages = {
      {"65535 signals", [](std::string& b) { put_binary<std::uint16_t>(b, 252, 65535); },
       RecordingFault::header_invalid, HeaderField::signal_count, 0},
      {"header length 0", [](std::string& b) { put_binary<std::uint16_t>(b, 184, 0); },
       RecordingFault::header_invalid, HeaderField::header_bytes, 0},
      {"header beyond the file", [](std::string& b) { put_binary<std::uint16_t>(b, 184, 60000); },
       RecordingFault::header_invalid, HeaderField::header_bytes, 0},
      {"records beyond the data", [](std::string& b) { put_binary<std::int64_t>(b, 236, 1'000'000'000'000); },
       RecordingFault::data_missing, HeaderField::none, 0},
      {"digital range reversed",
       [&](std::string& b) {
         put_binary<double>(b, digmin + 8, 5.0);
         put_binary<double>(b, digmax + 8, -5.0);
       },
       RecordingFault::header_invalid, HeaderField::digital_range, 2},
      {"digital minimum NaN", [&](std::string& b) { put_binary<double>(b, digmin, std::nan("")); },
       RecordingFault::header_invalid, HeaderField::digital_range, 1},
      {"a type GDF lacks", [&](std::string& b) { put_binary<std::uint32_t>(b, type + 8, 99); },
       RecordingFault::header_invalid, HeaderField::sample_type, 3},
      {"version 9", [](std::string& b) { b[4] = '9'; }, RecordingFault::header_invalid, HeaderField::version, 0},
  };
  for (const Damage& d : damages) {
    std::string bytes = sound;
    d.damage(bytes);
    const RecordingProblem p = check(bytes, layout);
    EXPECT_EQ(p.fault, d.fault) << d.what;
    EXPECT_EQ(p.field, d.field) << d.what;
    EXPECT_EQ(p.leads, d.signal) << d.what;
  }
}

// Whatever the damage, the reader of the format says so: the check stands
// before the library, and the library's read is contained behind it.
TEST(BiosigHeader, DamagedFilesAreRefusedByTheReaderToo) {
  test::ScratchDir dir;
  const std::vector<std::pair<std::string, std::function<void(std::string&)>>> files = {
      {"length0.edf", [](std::string& b) { put(b, 184, 8, "0"); }},
      {"minus1.edf", [](std::string& b) { put(b, 252, 4, "-1"); }},
      {"records.edf", [](std::string& b) { put(b, 236, 8, "99999999"); }},
      {"physmin.edf", [](std::string& b) { put(b, signal_field(test::kEdfPhysMin, 0), 8, "abc"); }},
  };
  for (const auto& [name, damage] : files) {
    std::string bytes = test::edf_bytes(three_leads(), false);
    damage(bytes);
    test::write_whole_file(dir / name, bytes);
    Recording r;
    const RecordingProblem p = read_library_recording(RecordingFormat::biosig, dir / name, {}, r);
    EXPECT_TRUE(p.fault == RecordingFault::header_invalid || p.fault == RecordingFault::data_missing) << name;
    EXPECT_EQ(r.lead_count, 0) << name;
  }
}

}  // namespace
}  // namespace telmor
