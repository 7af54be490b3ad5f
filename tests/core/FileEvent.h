#pragma once
// An event kind for the tests of files and player lists: it keeps its
// players in list order, refuses what every kind refuses (the limit, missing
// and duplicate names), and keeps its file in the shared nodes only.

#include "unified/core/RXEvent.h"
#include "unified/core/Tree.h"

inline ::Player Named(const std::string& first, const std::string& last) {
    ::Player p;
    p.firstName = first;
    p.lastName = last;
    return p;
}

class FileEvent : public RXEvent {
public:
    explicit FileEvent(bool doubles = false, bool genders = true) : doubles_(doubles) {
        keepsGender = genders;
    }

    bool IsModified() const override { return state == StateChanged; }
    void Reset() override {
        players.Clear();
        playerCount = 0;
        state = StateClean;
    }
    void SetSingles() override { doubles_ = false; }
    void SetDoubles() override { doubles_ = true; }
    bool IsDoubles() const override { return doubles_; }
    short AddPlayer(const ::Player& player, const ::Player* partner) override {
        if (playerCount >= MaxPlayers) return 7;
        ::Player entry = player;
        entry.partner.Reset();
        if (partner != nullptr) entry.partner.Set(*partner);
        StripLineBreaks(entry);
        if (entry.firstName.empty() && entry.lastName.empty()) return 9;
        for (int i = 1; i <= playerCount; ++i)
            if (Player(i)->firstName == entry.firstName && Player(i)->lastName == entry.lastName)
                return 8;
        players.SetAt(++playerCount, entry);
        state = StateChanged;
        return 0;
    }
    short PlayerDeleted(int) override { return 0; }
    short CheckPlayersEditable() override { return 0; }

    // The root "Event" with a version leaf, the print options, then one "P"
    // per player, each followed by its partner's "A" in doubles.
    short Load(const std::string& path) override {
        Reset();
        Tree root;
        root.LoadFromFile(path);
        if (root.HasError()) return 5;
        while (Tree* child = root.NextChild()) {
            const char key = child->Name().empty() ? '\0' : child->Name()[0];
            ::Player record;
            if (key == 'T') ReadPrintOptions(*child);
            if (key == 'P' || key == 'A') {
                if (const short code = ReadPlayerNode(*child, record); code != rcOk) return code;
            }
            if (key == 'P') players.SetAt(++playerCount, record);
            if (key == 'A') AttachPartner(playerCount, record);
        }
        state = StateSaved;
        return 0;
    }
    void BuildTree(Tree& root) const {
        root.AddValue("v", "*2.1");
        WritePrintOptions(root);
        for (int i = 1; i <= playerCount; ++i) {
            WritePlayerNode(*root.AddChild("P"), *Player(i), true);
            if (doubles_ && Player(i)->partner)
                WritePlayerNode(*root.AddChild("A"), *Player(i)->partner, false);
        }
    }
    bool Save(const std::string& path) override {
        Tree root("Event");
        BuildTree(root);
        if (!root.SaveToFile(path)) return false;
        state = StateSaved;
        return true;
    }
    bool ExportPlayersVer1(const std::string&) override { return false; }
    int ResultCount() const override { return 0; }
    void ClearResults(bool) override {}
    void PrintReport(rxReport&) override {}
    std::string FileExtension() const override { return "tst"; }
    std::string FileFilter() const override { return ""; }

private:
    bool doubles_;
};
