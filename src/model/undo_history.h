// The undo history: snapshots of the own wires, sources and loads, back to back in one
// little-endian byte stream, oldest first. Snapshot layout:
//   tag 1 (1 byte), N (int32), N wire records of 64 bytes:
//     start X Y Z, end X Y Z, radius (doubles), segments (int32), 4 unused bytes (0);
//   tag 2 (1 byte), M (int32), M object records of 74 bytes (sources, then loads):
//     kind (1 byte), 1-based wire position (int32, 0 = none), position (1 byte),
//     segment number (int32), 8 values (doubles).
// Size() and Bytes() are that stream; memory holds it more compactly. Each snapshot is
// held in a buffer of its own, so that dropping the oldest one moves no bytes: its M
// object records exactly as in the stream, then its N wire records in the narrowest of
// four forms that gives every record back bit for bit:
//   24 bytes: the six coordinates as int32 k, each coordinate being double(k) / 10000
//             (INT32_MIN stands for -0.0); one radius and segment count for all wires,
//             kept once beside the buffer;
//   36 bytes: the six int32 coordinates, then radius (double) and segments (int32);
//   48 bytes: the six coordinates as doubles; radius and segments shared as above;
//   64 bytes: the stream's own record.
// A 4-decimal file value or a coordinate rounded to 0.1 mm fits an int32 coordinate up
// to about 214 km. Writing starts in the narrowest form; the first record that does not
// fit re-encodes the records before it once into the wider form.
// Beside the stream each snapshot keeps the model's combined-wire lines, which its wire
// records refer to by their negative radii; consecutive snapshots share equal lines.
// Snapshot 1 is the oldest one kept: dropping old steps renumbers the rest.
#pragma once

#include "wire.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velomast {

struct TObjectRecord {
    uint8_t Kind = 0;
    int32_t WirePosition = 0;
    uint8_t Position = 0;
    int32_t SegNo = 0;
    std::array<double, 8> Values{};
};

struct TSnapshot {
    std::vector<TWireRecord> Wires;
    std::vector<TObjectRecord> Objects;
};

// How a snapshot's wire records are held: int32 coordinates and/or one radius and
// segment count shared by all its wires. The values combine as bits.
enum TWireForm : uint8_t {
    WireFormFull = 0,     // 64 bytes
    WireFormShared = 1,   // 48 bytes
    WireFormTenths = 2,   // 36 bytes
    WireFormCompact = 3,  // 24 bytes: tenths of a millimetre and shared
};

// The records of one stored snapshot, decoded on demand straight from where they are
// held; any record is reached directly.
struct TSnapshotView {
    const uint8_t* WireData = nullptr;
    size_t Wires = 0;
    const uint8_t* ObjectData = nullptr;
    size_t Objects = 0;
    TWireForm Form = WireFormFull;
    // The radius and segments of every wire when the form shares them.
    double Radius = 0;
    int32_t Segments = 0;
    TWireRecord Wire(size_t i) const;
    TObjectRecord Object(size_t i) const;
};

class TUndoHistory {
public:
    static constexpr size_t WireRecordSize = 64;
    static constexpr size_t ObjectRecordSize = 74;
    // Bytes per wire record as held in the given form.
    static size_t HeldWireSize(TWireForm f);

    // The stream is bounded: when an appended snapshot takes it past Limit() bytes, the
    // oldest snapshots are dropped (the two newest always stay, so the last edit can be
    // undone whatever the model's size). Returns how many were dropped.
    static constexpr size_t DefaultLimit = size_t{256} << 20;
    size_t Append(const TSnapshot& s, const std::vector<std::string>& taperLines = {});
    // The same, written record by record without a TSnapshot: BeginAppend with the
    // numbers of records, then exactly that many PutWire, then PutObject calls, then
    // EndAppend, which returns how many old snapshots were dropped.
    void BeginAppend(size_t wires, size_t objects);
    void PutWire(const TWireRecord& w);
    void PutObject(const TObjectRecord& o);
    size_t EndAppend(const std::vector<std::string>& taperLines = {});
    size_t Limit() const { return Limit_; }
    void SetLimit(size_t bytes) { Limit_ = bytes; }
    // Snapshot n, 1-based; false when there is none.
    bool Read(int32_t n, TSnapshot& out) const;
    // Snapshot n's records without copying them; false when there is none or it is cut
    // short. The view holds until the history next changes.
    bool View(int32_t n, TSnapshotView& out) const;
    // The combined-wire lines stored with snapshot n; empty when there is none.
    const std::vector<std::string>& TaperLines(int32_t n) const;
    void Clear();
    int32_t Count() const { return static_cast<int32_t>(Snapshots_.size()); }
    // Size of the stream in bytes, as shown to the user.
    size_t Size() const { return Size_; }
    bool Empty() const { return Size_ == 0; }
    // The whole stream as one block of bytes, put together on each call (for checks and
    // saving, not for the edit cycle).
    std::vector<uint8_t> Bytes() const;
    // The bytes the history really holds in memory: its snapshots' buffers and the spare.
    size_t HeldBytes() const;
    // How snapshot n's wires are held (WireFormFull when there is none).
    TWireForm Form(int32_t n) const;

private:
    struct THeld {
        std::vector<uint8_t> Data; // object records, then wire records in Form
        size_t Wires = 0, Objects = 0;
        TWireForm Form = WireFormCompact;
        double Radius = 0;
        int32_t Segments = 0;
        size_t StreamSize() const;
    };
    void DropOldest(size_t n);
    // Re-encodes the first `done` wire records of the open snapshot into the form `to`.
    void Widen(TWireForm to, size_t done);

    size_t Limit_ = DefaultLimit;
    size_t Size_ = 0;
    // One buffer per snapshot, oldest first, so any step is reached directly.
    std::vector<THeld> Snapshots_;
    std::vector<std::shared_ptr<const std::vector<std::string>>> Tapers_;
    // The buffer of the last snapshot dropped, reused by the next append: a big model's
    // snapshot then costs no fresh memory pages.
    std::vector<uint8_t> Spare_;
    // While appending: the snapshot written, how many wire records it has so far, and
    // where the next object record goes.
    THeld Open_;
    size_t WiresPut_ = 0, ObjectPos_ = 0;
    // The end of the last wire put, and its coordinates as int32 tenths.
    std::array<double, 3> LastEnd_{};
    std::array<int32_t, 3> LastTenths_{};
};

} // namespace velomast
