#pragma once
// One player of an event. A doubles player owns its partner's record; a copy
// of a player copies the partner record with it.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// An owned record that is copied with its owner, or nothing.
template <typename T> class OwnedRecord {
public:
    OwnedRecord() = default;
    OwnedRecord(const OwnedRecord& other) { *this = other; }
    OwnedRecord(OwnedRecord&&) noexcept = default;
    OwnedRecord& operator=(const OwnedRecord& other) {
        if (this != &other) record_ = other.record_ ? std::make_unique<T>(*other.record_) : nullptr;
        return *this;
    }
    OwnedRecord& operator=(OwnedRecord&&) noexcept = default;

    void Set(const T& record) { record_ = std::make_unique<T>(record); }
    void Reset() { record_.reset(); }
    T* get() const { return record_.get(); }
    T* operator->() const { return record_.get(); }
    T& operator*() const { return *record_; }
    explicit operator bool() const { return record_ != nullptr; }

private:
    std::unique_ptr<T> record_;
};

struct Player {
    std::string firstName;   // 30 characters
    std::string lastName;    // 30
    std::string workPhone;   // 14
    std::string homePhone;   // 14
    std::string email;       // 100
    std::string other1;      // 100
    std::string other2;      // 100
    std::string address1;    // 100
    std::string address2;    // 100
    std::string city;        // 100
    std::string state;       // 100
    std::string postalCode;  // 100
    std::string country;     // 100
    std::int32_t number = 0; // player id: the ladder's identity of a player
    std::int32_t inactivity = 0;
    std::int32_t wins = 0;
    std::int32_t losses = 0;
    std::int32_t ties = 0;
    std::int32_t prevPosition = 0;
    std::int32_t points = 0;
    std::int32_t spare = 0; // filled only by the ladder's oldest file reader
    char gender = ' ';      // 'M', 'F' or ' '
    char spareChar = ' ';   // copied with the record, never read
    OwnedRecord<Player> partner;
};

// Character limits of the texts, in field order.
constexpr int kPlayerTextLimits[13] = {30, 30, 14, 14, 100, 100, 100, 100, 100, 100, 100, 100, 100};

// The 13 texts of a record, in field order.
inline std::array<std::string*, 13> PlayerTexts(Player& p) {
    return {&p.firstName, &p.lastName,   &p.workPhone, &p.homePhone, &p.email,
            &p.other1,    &p.other2,     &p.address1,  &p.address2,  &p.city,
            &p.state,     &p.postalCode, &p.country};
}
inline std::array<const std::string*, 13> PlayerTexts(const Player& p) {
    return {&p.firstName, &p.lastName,   &p.workPhone, &p.homePhone, &p.email,
            &p.other1,    &p.other2,     &p.address1,  &p.address2,  &p.city,
            &p.state,     &p.postalCode, &p.country};
}

// Texts enter the model without carriage returns and line feeds: in an
// event file or a player list either would break the line it is written on.
inline void StripLineBreaks(std::string& text) {
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
}
// Strips the record's 13 texts and those of its partner record.
inline void StripLineBreaks(Player& player) {
    for (std::string* text : PlayerTexts(player))
        StripLineBreaks(*text);
    if (player.partner) StripLineBreaks(*player.partner);
}
