// Which headers pass for SQLite's own under the names of its log files, and
// the verdict over repeated looks at a file that may be changing, as
// functions of what the looks found.
#include "host/sqlite/files/log_file_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace host_test {
namespace {

using host::sqlite::FileOwner;
using host::sqlite::IsJournalHeader;
using host::sqlite::IsWalHeader;
using host::sqlite::IsWalIndexHeader;
using host::sqlite::LogFileVerdict;
using host::sqlite::LogKind;
using host::sqlite::LogLook;
using host::sqlite::MayWriteDatabase;
using Bytes = std::vector<unsigned char>;

// `n` bytes of `fill`, with `head` over the first of them.
Bytes Of(size_t n, std::initializer_list<unsigned char> head = {}, unsigned char fill = 0) {
  Bytes b(n, fill);
  std::copy(head.begin(), head.end(), b.begin());
  return b;
}

void PutBigEndian32(Bytes& b, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

Bytes Cut(Bytes b, size_t n) {
  b.resize(n);
  return b;
}

TEST(HostLogFileRules, AJournalIsSqlitesByItsMagicByItsZeroedHeaderOrByItsHeaderBeforeItsFirstSync) {
  constexpr uint32_t kPage = 4096;  // the database's
  const Bytes withMagic = Of(28, {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7}, 0x5a);
  EXPECT_TRUE(IsJournalHeader(withMagic, kPage));
  // A transaction that ended in journal_mode=PERSIST zeroes the header.
  EXPECT_TRUE(IsJournalHeader(Of(28), kPage));
  EXPECT_FALSE(IsJournalHeader(Of(27), kPage));  // too short for the header
  Bytes almost = withMagic;
  almost[7] ^= 1;
  EXPECT_FALSE(IsJournalHeader(almost, kPage));
  EXPECT_FALSE(IsJournalHeader(Of(28, {'N', 'o', 't', 'i', 'z', 'e', 'n', '\n'}), kPage));

  // A writer that has not synced its journal yet: magic and record count
  // zero, then the nonce, the page count, the sector size and the page
  // size, big-endian, the header padded with zeros to the sector.
  auto unsynced = [](uint32_t sector, uint32_t page) {
    Bytes b = Of(28);
    PutBigEndian32(b, 12, 0x9e3779b9);
    PutBigEndian32(b, 16, 12);
    PutBigEndian32(b, 20, sector);
    PutBigEndian32(b, 24, page);
    return b;
  };
  EXPECT_TRUE(IsJournalHeader(unsynced(512, kPage), kPage));
  EXPECT_TRUE(IsJournalHeader(unsynced(32, 512), 512));
  EXPECT_TRUE(IsJournalHeader(unsynced(65536, 65536), 65536));
  // Another database's page size, larger or smaller.
  EXPECT_FALSE(IsJournalHeader(unsynced(512, kPage), 1024));
  EXPECT_FALSE(IsJournalHeader(unsynced(512, 1024), kPage));
  EXPECT_FALSE(IsJournalHeader(Cut(unsynced(512, kPage), 27), kPage));
  // Sizes SQLite never writes.
  EXPECT_FALSE(IsJournalHeader(unsynced(768, kPage), kPage));
  EXPECT_FALSE(IsJournalHeader(unsynced(16, kPage), kPage));
  EXPECT_FALSE(IsJournalHeader(unsynced(131072, kPage), kPage));
  EXPECT_FALSE(IsJournalHeader(unsynced(0, kPage), kPage));
  EXPECT_FALSE(IsJournalHeader(unsynced(512, 3072), 3072));
  EXPECT_FALSE(IsJournalHeader(unsynced(512, 256), 256));
  EXPECT_FALSE(IsJournalHeader(unsynced(512, 131072), 131072));
  // A magic that is not the journal's, or a record count without it.
  Bytes otherMagic = unsynced(512, kPage);
  otherMagic[0] = 0xd9;
  EXPECT_FALSE(IsJournalHeader(otherMagic, kPage));
  Bytes counted = unsynced(512, kPage);
  counted[11] = 3;
  EXPECT_FALSE(IsJournalHeader(counted, kPage));
}

TEST(HostLogFileRules, AWriteAheadLogIsSqlitesByItsMagicInEitherChecksumOrderAndItsVersion) {
  auto wal = [](uint32_t magic, uint32_t version) {
    Bytes b = Of(32, {}, 0x11);
    PutBigEndian32(b, 0, magic);
    PutBigEndian32(b, 4, version);
    return b;
  };
  EXPECT_TRUE(IsWalHeader(wal(0x377f0682, 3007000)));  // checksums little-endian
  EXPECT_TRUE(IsWalHeader(wal(0x377f0683, 3007000)));  // checksums big-endian
  EXPECT_FALSE(IsWalHeader(wal(0x377f0682, 3007001)));
  EXPECT_FALSE(IsWalHeader(wal(0x377f0684, 3007000)));
  EXPECT_FALSE(IsWalHeader(Cut(wal(0x377f0682, 3007000), 31)));
}

TEST(HostLogFileRules, AnIndexIsSqlitesByItsVersionOrWhileItIsSetUpInZeros) {
  Bytes version(4);
  const uint32_t v = 3007000;  // in the machine's own byte order
  std::memcpy(version.data(), &v, 4);
  Bytes withVersion = Of(136, {}, 0x77);
  std::copy(version.begin(), version.end(), withVersion.begin());
  EXPECT_TRUE(IsWalIndexHeader(withVersion, 32768));
  // Set up: truncated to 3 bytes, grown in steps of 4 KiB of zeros.
  EXPECT_TRUE(IsWalIndexHeader(Of(3), 3));
  EXPECT_TRUE(IsWalIndexHeader(Cut(withVersion, 3), 3));
  EXPECT_TRUE(IsWalIndexHeader(Of(136), 4096));
  EXPECT_TRUE(IsWalIndexHeader(Of(136), 8192));

  EXPECT_FALSE(IsWalIndexHeader(Of(136), 5000));  // zeros, but no step of SQLite's
  EXPECT_FALSE(IsWalIndexHeader(Of(3, {'a', 'b', 'c'}), 3));
  EXPECT_FALSE(IsWalIndexHeader(Of(136, {'N', 'o', 't', 'i', 'z', 'e', 'n'}), 4096));
  EXPECT_FALSE(IsWalIndexHeader(Of(100), 4096));  // too short for the header
}

// Looks of the test's own: `looks` in turn, the last one again and again;
// counts the looks taken.
struct Looks {
  std::vector<LogLook> looks;
  int taken = 0;
  LogLook operator()() { return looks[std::min<size_t>(taken++, looks.size() - 1)]; }
};

LogLook Read(Bytes start) {
  const uint64_t size = start.size();
  return {LogLook::Found::Read, 0, std::move(start), size};
}

TEST(HostLogFileRules, AFileIsLookedAtAgainUntilItIsSqlitesAndOneThatKeepsChangingIsRefused) {
  const LogLook changed{LogLook::Found::Changed};
  const LogLook text = Read(Of(32, {'N', 'o', 't', 'i', 'z', 'e', 'n'}));
  auto verdict = [](Looks& looks) { return LogFileVerdict(LogKind::Journal, 4096, [&] { return looks(); }); };

  Looks everyLook{{changed}};
  EXPECT_EQ(verdict(everyLook), "kept changing while it was looked at");
  EXPECT_EQ(everyLook.taken, host::sqlite::kLogLooks);

  // Another process's moment: a file that changed, then was not SQLite's,
  // is SQLite's in the end.
  Looks settling{{changed, text, Read(Of(28))}};
  EXPECT_EQ(verdict(settling), "");
  EXPECT_EQ(settling.taken, 3);

  // What it was the last time it could be read stands.
  Looks readOnce{{text, changed}};
  EXPECT_EQ(verdict(readOnce), "is a file that SQLite did not write");
  EXPECT_EQ(readOnce.taken, host::sqlite::kLogLooks);
}

// A file beside a database is SQLite's only when its owner may write the
// database: its owner, root, a member of its group where the group may
// write it, anyone where all may. Membership is asked only when it matters.
TEST(HostLogFileRules, ALogIsSqlitesOnlyWhenItsOwnerMayWriteTheDatabase) {
  int asked = 0;
  auto member = [&] { return ++asked > 0; };
  auto stranger = [&] { return ++asked < 0; };
  const FileOwner owners{1000, 100, 0644};
  EXPECT_TRUE(MayWriteDatabase(owners, 1000, stranger));
  EXPECT_TRUE(MayWriteDatabase(owners, 0, stranger));
  EXPECT_FALSE(MayWriteDatabase(owners, 1001, member));
  EXPECT_EQ(asked, 0);
  const FileOwner groups{1000, 100, 0664};
  EXPECT_TRUE(MayWriteDatabase(groups, 1001, member));
  EXPECT_FALSE(MayWriteDatabase(groups, 65534, stranger));
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(MayWriteDatabase(FileOwner{1000, 100, 0666}, 65534, stranger));
  EXPECT_FALSE(MayWriteDatabase(FileOwner{1000, 100, 0444}, 65534, member));
}

}  // namespace
}  // namespace host_test
