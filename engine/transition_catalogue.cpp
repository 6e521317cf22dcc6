#include "engine/transition_catalogue.h"

#include <array>

namespace {

struct Row {
    const char* listName;
    const char* comboText;  // nullptr: same as the list name
    const char* clsid;      // rows 1..16; nullptr for "None" and the wipes
    std::int32_t maskNum;   // rows 17..46
};

constexpr std::array<Row, kTransitionCount> kRows{{
    {"None", nullptr, nullptr, 0},
    {"Iris", nullptr, "{049F2CE6-D996-4721-897A-DB15CE9EB73D}", 0},
    {"RadialWipe", nullptr, "{164484A9-35D9-4FB7-9FAB-48273B96AA1D}", 0},
    {"Fade", nullptr, "{16B280C5-EE70-11D1-9066-00C04FD9189D}", 0},
    {"ZigZag", nullptr, "{23E26328-3928-40F2-95E5-93CAD69016EB}", 0},
    {"RandomBars", nullptr, "{2E7700B7-27C4-437F-9FBF-1E8BE2817566}", 0},
    {"Spiral", nullptr, "{4A03DCB9-6E17-4A39-8845-4EE7DC5331A5}", 0},
    {"Pixelate", nullptr, "{4CCEA634-FBE0-11D1-906A-00C04FD9189D}", 0},
    {"Wheel", nullptr, "{5AE1DAE0-1461-11D2-A484-00C04F8EFB69}", 0},
    {"Strips", nullptr, "{63A4B1FC-259A-4A5B-8129-A83B8C9E6F4F}", 0},
    {"Inset", nullptr, "{76F363F2-7E9F-4ED7-A6A7-EE30351B6628}", 0},
    {"Blinds", nullptr, "{9A4A4A51-FB3A-4F4B-9B57-A2912A289769}", 0},
    {"Wipe", nullptr, "{AF279B30-86EB-11D1-81BF-0000F87557DB}", 0},
    {"CheckerBoard", nullptr, "{B3EE7802-8224-4787-A1EA-F0DE16DEABD3}", 0},
    {"Slide", nullptr, "{D1C5A1E7-CC47-4E32-BDD2-4B3C5FC50AF5}", 0},
    {"Stretch", nullptr, "{F088DE73-BDD0-4E3C-81F8-6D32F4FE9D28}", 0},
    {"RandomDissolve", nullptr, "{F7F4A1B6-8E87-452F-A2D7-3077F508DBC0}", 0},
    {"Horizontal", nullptr, nullptr, 1},
    {"Vertical", nullptr, nullptr, 2},
    {"Four corners", nullptr, nullptr, 7},
    {"Barn doors, horizontal", nullptr, nullptr, 22},
    {"Diagonal, NW to SE", nullptr, nullptr, 41},
    {"Triangles, top/bottom", nullptr, nullptr, 43},
    {"Triangles, left/right", "left/right", nullptr, 44},
    {"Diagonal stripe, SW to NE", "stripe, SW to NE", nullptr, 45},
    {"Cross", nullptr, nullptr, 47},
    {"Diamond Box", nullptr, nullptr, 48},
    {"Wedge, top", nullptr, nullptr, 61},
    {"Wedge, left", nullptr, nullptr, 64},
    {"Sawtooth, left", nullptr, nullptr, 71},
    {"Sawtooth, top", nullptr, nullptr, 72},
    {"Sawtooth, vertical", nullptr, nullptr, 73},
    {"Sawtooth, horizontal", nullptr, nullptr, 74},
    {"Box", nullptr, nullptr, 101},
    {"Diamond", nullptr, nullptr, 102},
    {"Hexagon", nullptr, nullptr, 113},
    {"Circle", nullptr, nullptr, 119},
    {"Oval, horizontal", nullptr, nullptr, 120},
    {"Rounded rectangle, horizontal", nullptr, nullptr, 124},
    {"4-point star", nullptr, nullptr, 127},
    {"5-point star", nullptr, nullptr, 128},
    {"Heart", nullptr, nullptr, 130},
    {"Radial, left", nullptr, nullptr, 224},
    {"Radial, top split", nullptr, nullptr, 231},
    {"Radial, top-right corner", nullptr, nullptr, 244},
    {"Center radial, top", nullptr, nullptr, 251},
    {"Matrix, horizontal", nullptr, nullptr, 301},
}};

constexpr int kFirstWipe = 17;

bool InCatalogue(int index) { return index >= 0 && index < kTransitionCount; }

}  // namespace

std::string TransitionName(int index) {
    return InCatalogue(index) ? kRows[index].listName : kRows[kFirstWipe].listName;
}

std::string TransitionComboText(int index) {
    if (!InCatalogue(index)) return TransitionName(index);
    const Row& row = kRows[index];
    return row.comboText != nullptr ? row.comboText : row.listName;
}

TransitionEffectInfo TransitionEffectFor(int index) {
    TransitionEffectInfo effect;
    if (index == 0) return effect;
    effect.insert = true;
    if (!InCatalogue(index)) {
        effect.clsid = CLSID_DxtJpeg;
    } else if (index < kFirstWipe) {
        CLSIDFromString(kRows[index].clsid, &effect.clsid);
    } else {
        effect.clsid = CLSID_DxtJpeg;
        effect.maskNum = kRows[index].maskNum;
    }
    return effect;
}

int ChooseTransition(int policy, int sameIndex, int position, CrtRandom& random) {
    switch (policy) {
        case kPolicySequence:
            // 0..46 once, then 1..46 over and over: "None" does not come back.
            return position <= kTransitionCount - 1 ? position
                                                    : (position - 1) % (kTransitionCount - 1) + 1;
        case kPolicySame: return sameIndex;
        default: return random.Next() % kTransitionCount;
    }
}
