#pragma once
#include <cmath>
// One automatable plug-in parameter: type, range, step, default, names,
// flags, value-mapping shape, display texts and its current value.
//
// Threads: the value and previous value are atomics that any thread may
// read or write; everything else is written once while the plug-in is built
// and only read afterwards. Real values lie between min and max; normalised
// values (0..1) are what hosts and controls exchange; the shape maps one to
// the other.
#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>

#include "UT_String.h"
#include "UT_TypedBuf.h"

namespace plugin {

// Where a parameter change comes from.
enum EParamSource { kReset = 0, kHost = 1, kPresetRecall = 2, kUI = 3, kDelegate = 4 };

class IParam {
public:
  enum EParamType { kTypeNone = 0, kTypeBool = 1, kTypeInt = 2, kTypeEnum = 3, kTypeDouble = 4 };

  enum EFlags {
    kNoFlags = 0,
    kFlagCannotAutomate = 1,
    kFlagStepped = 2,
    kFlagNegateDisplay = 4,
    kFlagSignDisplay = 8,
    kFlagMeta = 16,
  };

  // Unit codes reported to the host.
  enum EParamUnit {
    kUnitPercentage = 0,
    kUnitSeconds = 1,
    kUnitMilliseconds = 2,
    kUnitDB = 4,
    kUnitDegrees = 8,
    kUnitFrequency = 12,
    kUnitCustom = 21,
  };

  // How a shape wants the host to draw its scale.
  enum EDisplayType {
    kDisplayLinear = 0,
    kDisplayLog = 1,
    kDisplaySquareRoot = 3,
    kDisplaySquared = 4,
    kDisplayCubeRoot = 5,
    kDisplayCubed = 6,
  };

  // Optional rescaling of the shown number: kDisplayScaled multiplies
  // negatives by |low| (showing "-inf " at or below floor) and positives by
  // |high|; kDisplayRemapped maps 0..1 onto low..high.
  enum EDisplayMapping { kDisplayUnmapped = 0, kDisplayScaled = 1, kDisplayRemapped = 2 };

  static constexpr int kMaxNameLen = 32;    // names, labels, groups, display texts (with NUL)
  static constexpr int kMaxDisplayLen = 32; // formatted values

  using DisplayFunc = std::function<void(double value, UT_String& out)>;

  // Maps between real and normalised values for one parameter. Both
  // directions tolerate a zero-width range (normalised 0, real min).
  struct Shape {
    virtual ~Shape() = default;
    virtual std::unique_ptr<Shape> Clone() const = 0;
    virtual void Init(const IParam&) {}
    virtual EDisplayType GetDisplayType() const = 0;
    virtual double NormalizedToValue(double normalized, const IParam& param) const = 0;
    virtual double ValueToNormalized(double value, const IParam& param) const = 0;
  };

  struct ShapeLinear : Shape {
    std::unique_ptr<Shape> Clone() const override { return std::make_unique<ShapeLinear>(*this); }
    EDisplayType GetDisplayType() const override { return kDisplayLinear; }
    double NormalizedToValue(double normalized, const IParam& param) const override;
    double ValueToNormalized(double value, const IParam& param) const override;
  };

  // min + (max - min) * n^exponent.
  struct ShapePowCurve : Shape {
    explicit ShapePowCurve(double exponent) : mExponent(exponent) {}
    std::unique_ptr<Shape> Clone() const override { return std::make_unique<ShapePowCurve>(*this); }
    EDisplayType GetDisplayType() const override;
    double NormalizedToValue(double normalized, const IParam& param) const override;
    double ValueToNormalized(double value, const IParam& param) const override;
    double mExponent;
  };

  // Exponential between a positive lower anchor (min, or 1e-8 when min is
  // not positive) and max; values at or below the anchor map to 0.
  struct ShapeExp : Shape {
    std::unique_ptr<Shape> Clone() const override { return std::make_unique<ShapeExp>(*this); }
    void Init(const IParam& param) override;
    EDisplayType GetDisplayType() const override { return kDisplayLog; }
    double NormalizedToValue(double normalized, const IParam& param) const override;
    double ValueToNormalized(double value, const IParam& param) const override;
    double mMul = 1.0;
    double mAdd = 1.0;
  };

  IParam();
  ~IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // The central initialiser. max is raised to min + step when smaller.
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", int flags = 0, const char* group = "", const Shape& shape = ShapeLinear(),
                  EParamUnit unit = kUnitCustom, DisplayFunc displayFunc = nullptr);
  // Display texts 0 -> offText, 1 -> onText (a null text adds none).
  void InitBool(const char* name, bool defaultVal, const char* label = "", int flags = 0, const char* group = "",
                const char* offText = nullptr, const char* onText = nullptr);
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "", int flags = 0,
                const char* group = "");
  // Text i becomes the display text of value i (up to nEnums texts).
  template <class... Texts>
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label, int flags, const char* group,
                const char* text, Texts... more)
  {
    InitEnum(name, defaultVal, nEnums, label, flags, group);
    const char* texts[] = {text, more...};
    for (int i = 0; i < static_cast<int>(sizeof...(more)) + 1 && i < nEnums; ++i)
      SetDisplayText(i, texts[i]);
  }
  void InitEnum(const char* name, int defaultVal, std::initializer_list<const char*> texts, int flags = 0,
                const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "", int flags = 0,
               const char* group = "");
  void InitFrequency(const char* name, double defaultVal, double minVal, double maxVal, double step, int flags = 0,
                     const char* group = "");
  void InitSeconds(const char* name, double defaultVal, double minVal, double maxVal, double step, int flags = 0,
                   const char* group = "");
  void InitMilliseconds(const char* name, double defaultVal, double minVal, double maxVal, int flags = 0,
                        const char* group = "");
  void InitPercentage(const char* name, double defaultVal, double minVal, double maxVal, int flags = 0,
                      const char* group = "");
  void InitAngleDegrees(const char* name, double defaultVal, double minVal, double maxVal, int flags = 0,
                        const char* group = "");
  void InitGain(const char* name, double defaultVal, double minVal, double maxVal, double step, int flags = 0,
                const char* group = "");
  // Values 0..(highest - lowest) named by note and octave; middle C (60) is
  // C3, or C4 with middleCisC4.
  void InitPitch(const char* name, int defaultVal, int lowestNote, int highestNote, int flags = 0,
                 const char* group = "", bool middleCisC4 = false);
  // Copies another parameter's definition, renaming it by replacing the first
  // occurrence of searchStr with replaceStr.
  void InitFromParam(const IParam& source, const char* searchStr = "", const char* replaceStr = "",
                     const char* newGroup = "");

  // Appends a display text (at most 31 characters); earlier entries win.
  void SetDisplayText(double value, const char* text);
  int NDisplayTexts() const { return mDisplayTexts.GetSize(); }
  // "" when idx is out of range (value then untouched).
  const char* GetDisplayTextAtIdx(int idx, double* value = nullptr) const;
  // Text of the first entry with exactly this value, "" when none.
  const char* GetDisplayText(double value) const;
  bool MapDisplayText(const char* text, double* value) const;

  void SetDisplayPrecision(int precision) { mDisplayPrecision = precision; }
  void SetDisplayMapping(EDisplayMapping kind, double low, double high, double floor = -1.0);

  // Snaps when stepped (a step of 0 counts as unstepped), then clamps.
  double Constrain(double value) const;
  double Value() const { return mValue.load(); }
  double GetPreviousValue() const { return mPreviousValue.load(); }
  double GetNormalized() const { return ToNormalized(Value()); }
  double ToNormalized(double value) const;
  double FromNormalized(double normalized) const;
  // A value that is not finite (NaN, infinity) is refused: false, and
  // neither the value nor the previous value changes.
  bool Set(double value);
  bool SetNormalized(double normalized) { return std::isfinite(normalized) && Set(FromNormalized(normalized)); }
  // Stores the default exactly as given (neither snapped nor clamped).
  void SetToDefault();
  // Draws from rand(): seed with srand for a repeatable draw.
  void Randomise();

  // Formatted value, at most 32 characters.
  void GetDisplay(double value, bool normalized, UT_String& out, bool withDisplayText = true) const;
  void GetDisplay(UT_String& out, bool withDisplayText = true) const
  {
    GetDisplay(Value(), false, out, withDisplayText);
  }
  void GetDisplayWithLabel(UT_String& out, bool withDisplayText = true) const;
  // Parses a display text or number ("2k2" reads as 2200) into a real value,
  // read as in the "C" locale; text that reads as no finite number gives
  // the current value. readsAsValue, when given, says whether the text was
  // a display text or a finite number at all (false for "", "abc", "-").
  double StringToValue(const char* text, bool* readsAsValue = nullptr) const;
  // Appends a JSON object describing the parameter.
  void GetJSON(UT_String& out, int index) const;

  EParamType Type() const { return mType; }
  EParamUnit Unit() const { return mUnit; }
  int GetFlags() const { return mFlags; }
  bool GetCanAutomate() const { return !(mFlags & kFlagCannotAutomate); }
  bool GetStepped() const { return mFlags & kFlagStepped; }
  bool GetNegateDisplay() const { return mFlags & kFlagNegateDisplay; }
  bool GetSignDisplay() const { return mFlags & kFlagSignDisplay; }
  bool GetMeta() const { return mFlags & kFlagMeta; }
  int GetDisplayPrecision() const { return mDisplayPrecision; }
  EDisplayType GetDisplayType() const { return mShape->GetDisplayType(); }
  const Shape& GetShape() const { return *mShape; }
  void GetBounds(double& lo, double& hi) const
  {
    lo = mMin;
    hi = mMax;
  }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetRange() const { return mMax - mMin; }
  double GetStep() const { return mStep; }
  double GetDefault(bool normalized = false) const { return normalized ? ToNormalized(mDefault) : mDefault; }
  const char* GetName() const { return mName; }
  const char* GetLabel() const { return mLabel; }
  const char* GetGroup() const { return mGroup; }
  const char* GetTypeName() const;

private:
  struct DisplayText {
    double mValue;
    char mText[kMaxNameLen];
  };

  void SetTypeIfNone(EParamType type)
  {
    if (mType == kTypeNone)
      mType = type;
  }
  double Snap(double value) const;

  EParamType mType = kTypeNone;
  EParamUnit mUnit = kUnitCustom;
  std::atomic<double> mValue{0.0};
  std::atomic<double> mPreviousValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  int mFlags = 0;
  EDisplayMapping mDisplayMapping = kDisplayUnmapped;
  double mMappingLow = 0.0;
  double mMappingHigh = 1.0;
  double mMappingFloor = -1.0;
  char mName[kMaxNameLen] = {};
  char mLabel[kMaxNameLen] = {};
  char mGroup[kMaxNameLen] = {};
  std::unique_ptr<Shape> mShape;
  DisplayFunc mDisplayFunc;
  UT_TypedBuf<DisplayText> mDisplayTexts{4096};
};

} // namespace plugin
