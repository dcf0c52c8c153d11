#pragma once
// How the builder learns what a new entry is: its type, tree group, value
// check and block. The rules live above the model; the program's classifier
// comes from the check layer (KeyClassifier() in check/process_key.h).

class CKeyEntry;
class CTalunaContext;

class IKeyClassifier {
public:
    virtual ~IKeyClassifier() = default;
    // Gives `entry`, just added to the database, its classification.
    virtual void Classify(CTalunaContext& context, CKeyEntry& entry) const = 0;
};
