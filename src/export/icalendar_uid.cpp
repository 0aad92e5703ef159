// The UID of each event of IcsWriter, from its match's identity (ics_uid.hpp), against the file
// it replaces.

#include "export/icalendar.hpp"
#include "export/ics_previous.hpp"

namespace gironario {

std::uint64_t IcsWriter::uid_line(const MatchRecord& match, const IcsSource& source,
                                  std::uint64_t& renewed) {
    content_ = "UID:";
    earlier_ = "UID:";
    renewed = 0;
    by_identity_ = uids_.append(content_, earlier_, source, match);
    const std::uint64_t uid = ics_hash(content_);
    if (!by_identity_ || changes_ == nullptr || changes_->knows(uid)) {
        return uid;
    }
    const std::uint64_t earlier = ics_hash(earlier_);
    if (!changes_->knows(earlier)) {
        return uid;
    }
    if (match.source == MatchSource::icalendar) {
        // 1.3.0 knew a feed's event by its own UID already: the phones keep that event.
        content_ = earlier_;
        return earlier;
    }
    renewed = earlier;
    return uid;
}

std::string_view IcsWriter::described_file_name(const IcsSource& source) {
    return by_identity_ ? uids_.plain_name(source) : source.file_name;
}

void IcsWriter::pass(const MatchRecord& match, const IcsSource& source) {
    content_.clear();
    earlier_.clear();
    uids_.append(content_, earlier_, source, match);
}

}  // namespace gironario
