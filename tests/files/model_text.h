// Model file texts for the tests, built from their parts.
#pragma once

#include "files/text_codec.h"

#include <string>
#include <vector>

namespace velomast::test {

struct ModelText {
    std::string Name = "Test";
    std::string Frequency = "14.06";
    std::string WireHeading = "***Wires***";
    std::string WireCount; // empty: the number of Wires
    std::vector<std::string> Wires = {"0.0,\t-2.5,\t10.0,\t0.0,\t2.5,\t10.0,\t0.0008,\t-1"};
    std::string SourceCount; // empty: "n,\t0"
    std::vector<std::string> Sources = {"w1c,\t0.0,\t1.0"};
    std::string LoadCount; // empty: "n,\t0|1"
    std::vector<std::string> Loads;
    std::string Segmentation = "800,\t80,\t2.0,\t1";
    std::string Settings = "0,\t0.0,\t0,\t50.0,\t120,\t60,\t0.0";
    std::vector<std::string> Tail; // lines after the settings line

    std::vector<std::string> Lines() const {
        std::vector<std::string> l = {Name, "*", Frequency, WireHeading};
        l.push_back(WireCount.empty() ? std::to_string(Wires.size()) : WireCount);
        l.insert(l.end(), Wires.begin(), Wires.end());
        l.push_back("***Source***");
        l.push_back(SourceCount.empty() ? std::to_string(Sources.size()) + ",\t0" : SourceCount);
        l.insert(l.end(), Sources.begin(), Sources.end());
        l.push_back("***Load***");
        l.push_back(LoadCount.empty() ? std::to_string(Loads.size()) + (Loads.empty() ? ",\t0" : ",\t1") : LoadCount);
        l.insert(l.end(), Loads.begin(), Loads.end());
        l.push_back("***Segmentation***");
        l.push_back(Segmentation);
        l.push_back("***G/H/M/R/AzEl/X***");
        l.push_back(Settings);
        l.insert(l.end(), Tail.begin(), Tail.end());
        return l;
    }
    std::string Text() const { return JoinLinesCrLf(Lines()); }
};

} // namespace velomast::test
