#pragma once
// The value of a formula. It follows the conversion and operator rules the
// fee formulas were written against (QVariant does not): 32-bit integers
// that overflow into doubles, "/" always in doubles, remainders of numbers
// rounded halves-to-even, strings that concatenate or read as numbers,
// booleans counting -1 and 0, dates as day numbers, Null that propagates
// and Empty that refuses every operation. A rule that refuses raises
// EqxExpErr.

#include <QString>
#include <optional>

enum TqxVarType : quint8 { vtEmpty, vtNull, vtInteger, vtDouble, vtBoolean, vtString, vtDate };

class TqxVariant {
public:
    TqxVariant() = default; // Empty
    TqxVariant(int value) : FType(vtInteger), FInt(value) {}
    TqxVariant(double value) : FType(vtDouble), FDouble(value) {}
    TqxVariant(bool value) : FType(vtBoolean), FBool(value) {}
    TqxVariant(const QString& value) : FType(vtString), FString(value) {}
    TqxVariant(QString&& value) : FType(vtString), FString(std::move(value)) {}
    // A C string would otherwise quietly become the boolean True.
    TqxVariant(const char*) = delete;

    static TqxVariant Null();
    // Days since 1899-12-30; the fraction is the time of day.
    static TqxVariant FromDate(double dayNumber);

    TqxVarType Type() const { return FType; }
    bool IsEmpty() const { return FType == vtEmpty; }
    bool IsNull() const { return FType == vtNull; }

    // The stored value of the matching kind, unconverted.
    int AsInteger() const { return FInt; }
    double AsDouble() const { return FDouble; }
    bool AsBoolean() const { return FBool; }
    const QString& AsString() const { return FString; }

    // Conversions. Null converts to nothing; Empty to 0, false and "".
    double ToDouble() const;
    int ToInteger() const; // nearest, halves to even
    bool ToBoolean() const;
    QString ToString() const;

    static TqxVariant Add(const TqxVariant& a, const TqxVariant& b);
    static TqxVariant Subtract(const TqxVariant& a, const TqxVariant& b);
    static TqxVariant Multiply(const TqxVariant& a, const TqxVariant& b);
    static TqxVariant Divide(const TqxVariant& a, const TqxVariant& b);
    static TqxVariant Modulus(const TqxVariant& a, const TqxVariant& b);
    // -1, 0 or 1. Null equals Null and is below everything else.
    static int Compare(const TqxVariant& a, const TqxVariant& b);
    static TqxVariant And(const TqxVariant& a, const TqxVariant& b);
    static TqxVariant Or(const TqxVariant& a, const TqxVariant& b);
    static TqxVariant Not(const TqxVariant& a);

    // Same kind and same value; for tests and hosts, not a formula rule.
    bool operator==(const TqxVariant& other) const;

private:
    TqxVarType FType = vtEmpty;
    union {
        int FInt = 0;
        double FDouble;
        bool FBool;
    };
    QString FString;
};
