// The canvas the view is drawn on: a QPainter on the off-screen image with the little
// state the drawing keeps between calls (font, text colour, text angle and alignment), and
// batches of lines and marks, so that thousands of wires cost a handful of paint calls.
#pragma once

#include "model/wire_list.h"
#include "view/view_camera.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace velomast {

// What the platform decides for the picture: the system colours of three roles and the
// locale's decimal mark for number texts.
struct TPlatformLook {
    QColor WindowText{0, 0, 0};
    QColor Window{255, 255, 255};
    QColor ButtonShadow{160, 160, 160};
    char DecimalMark = '.';
};

// Font sizes are given in points and drawn at 96 dots per inch, whatever the screen, so
// that the picture (and a saved image) is the same everywhere.
int PointsToPixels(int points);

// A pen of the batched drawing.
struct TPenKey {
    QRgb Colour = 0;
    int Width = 1;
    bool Dotted = false;
    friend bool operator==(const TPenKey&, const TPenKey&) = default;
};

class TViewCanvas {
public:
    // `area` is the picture's rectangle in image pixels (0, 0, width, height). When the
    // painter paints on `image` (an RGB32 image), small marks are set pixel by pixel
    // straight into it, which is many times faster than the painter's path for them.
    TViewCanvas(QPainter& painter, const TWireList& model, const TPlatformLook& look, const QRect& area,
                bool printing, QImage* image = nullptr);
    TViewCanvas(const TViewCanvas&) = delete;
    TViewCanvas& operator=(const TViewCanvas&) = delete;

    QPainter& Painter() { return Painter_; }
    const TWireList& Model() const { return Model_; }
    const TPlatformLook& Look() const { return Look_; }
    const QRect& Area() const { return Area_; }
    bool Printing() const { return Printing_; }
    // The projection of the model's view state when the canvas was made.
    const TViewProjection& Projection() const { return Projection_; }
    // The loads sitting on a wire, in list order, each with its wire's list position.
    using TLoadEntry = std::pair<size_t, const TWObject*>;
    std::span<const TLoadEntry> LoadsOn(const TWire& w) const;
    // Keys of the length labels drawn in this paint: one label per length per element.
    std::unordered_set<std::string>& DimensionKeys() { return DimensionKeys_; }
    // False without a QGuiApplication: the picture is then drawn without text.
    bool CanWriteText() const { return CanWriteText_; }

    // ---- text -------------------------------------------------------------------------
    // The platform's default sans font, or the font of the length labels ("Arial", or a
    // metric-compatible sans where Arial is missing).
    void UseNormalFont();
    void UseLabelFont();
    const QFont& Font() const { return Font_; }
    void SetFontSize(int points);
    int FontSize() const { return FontPoints_; }
    void SetBold(bool bold);
    void SetTextColour(const QColor& c) { TextColour_ = c; }
    // Escapement in tenths of a degree, counter-clockwise (see SetTextAngle).
    void SetTextAngleTenths(int32_t tenths) { AngleTenths_ = tenths; }
    int32_t TextAngleTenths() const { return AngleTenths_; }
    // false: (x, y) is the text's upper-left corner; true: x is the middle of the text and
    // y its base line.
    void SetCentredOnBaseLine(bool on) { CentredOnBaseLine_ = on; }
    bool CentredOnBaseLine() const { return CentredOnBaseLine_; }
    int TextWidth(const QString& text) const;
    int TextHeight() const;
    void TextOut(int x, int y, const QString& text);
    // A reusable text buffer: filled from UTF-8 without a new allocation each time.
    const QString& Text(const std::string& utf8);

    // ---- batched drawing --------------------------------------------------------------
    // Whether a box of pixels can touch the picture (a margin of a few pixels for pens).
    bool MayBeVisible(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
    // A line of the wire layer. Consecutive lines of one pen go out in one call; lines
    // that reach far outside the picture are cut to it first.
    void WireLine(const TPenKey& pen, QPoint a, QPoint b);
    // The marks drawn over all wires when the layer is flushed.
    void DirectionMark(QPoint centre, QRgb colour);
    // Diagonal crosses of half size a: (x - a, y - a)-(x + a, y + a) and its mirror.
    void JunctionCross(QPoint centre, int halfSize, QRgb colour);
    void LoadCross(QPoint centre, int halfSize, QRgb colour);
    void LoadText(QPoint at, const QString& text);
    // Draws what is batched: wire lines, then direction marks, junction crosses, load
    // crosses and load texts.
    void FlushWireLayer();

    // Immediate drawing with a pen.
    void DrawLine(const TPenKey& pen, QPoint a, QPoint b);
    // Single pixels (grid dots), set at once.
    void DrawPixels(const std::vector<QPoint>& points, QRgb colour);

private:
    void ApplyFont();
    void FlushRun();
    struct TMark {
        int32_t X, Y;
        QRgb Colour;
        int32_t Size;
    };
    // Marks wait for the end of the wire layer, a few per wire: kept in eight bytes each
    // (the pixel's number in the picture widened by the margin, the colour with the size
    // in its unused alpha byte) in blocks that never move, so a million wires neither
    // double a buffer nor copy one. A picture too large to number its pixels in 32 bits
    // keeps its marks whole.
    //
    // A picture drawn pixel by pixel gives a list a picture of its own once its marks
    // would take more memory than that: the marks are drawn into it as they come, each
    // pixel keeping the last colour put there, and the flush copies the pixels drawn. That
    // is what drawing the marks in order would leave, and a million wires cost no more
    // than a picture. Marks come in a few colours, so a pixel keeps a byte naming its
    // colour in a small table; should more than 255 colours come, the picture turns to
    // whole colours.
    class TMarkList {
    public:
        void Reset(const QRect& area);
        void Add(int32_t x, int32_t y, QRgb colour, int32_t size);
        template <typename F> void ForEach(F f) const;
        size_t Count() const { return Count_ + Wide_.size(); }
        // Forgets the marks and gives their memory back.
        void DropMarks();
        void Clear();
        bool HasPicture() const { return !Picture_.empty() || !WidePicture_.empty(); }
        void StartPicture(size_t pixels) { Picture_.assign(pixels, 0); }
        // Sets pixel number i (row by row) of the picture to an opaque colour.
        void Put(size_t i, QRgb colour);
        // The colour drawn at pixel i, 0 for none.
        QRgb At(size_t i) const {
            if (!WidePicture_.empty()) return WidePicture_[i];
            return Picture_[i] ? Palette_[Picture_[i] - 1u] : 0;
        }

    private:
        static constexpr size_t BlockSize = 16384;
        std::vector<std::unique_ptr<uint64_t[]>> Blocks_;
        size_t Count_ = 0;
        std::vector<TMark> Wide_;
        bool Compact_ = true;
        int64_t Left_ = 0, Top_ = 0, Span_ = 0, Rows_ = 0;
        std::vector<uint8_t> Picture_; // 1 + the colour's place in Palette_, 0 for none
        std::vector<QRgb> Palette_;
        std::vector<QRgb> WidePicture_;
        QRgb LastColour_ = 0;
        uint8_t LastIndex_ = 0;
    };
    void PlotMark(const TMark& mark, bool ring);
    // Batches a mark, or draws it into the list's picture (see TMarkList).
    void AddMark(TMarkList& list, bool ring, int32_t x, int32_t y, QRgb colour, int32_t size);
    // Runs f with Plot drawing into the list's picture instead of the image.
    template <typename F> void IntoPicture(TMarkList& list, F f);
    TMarkList* PlotInto_ = nullptr;
    void FlushMarks(TMarkList& list, bool ring);
    void Plot(int32_t x, int32_t y, QRgb colour);
    std::optional<QLine> Clipped(QPoint a, QPoint b) const;

    QPainter& Painter_;
    const TWireList& Model_;
    const TPlatformLook& Look_;
    QRect Area_;
    bool Printing_;
    bool CanWriteText_;
    TViewProjection Projection_;
    std::vector<TLoadEntry> LoadIndex_; // sorted by wire position, stable
    std::unordered_set<std::string> DimensionKeys_;

    QFont NormalFont_;
    QFont LabelFont_;
    bool Label_ = false;
    bool Bold_ = false;
    int FontPoints_ = 9;
    QFont Font_;
    std::optional<QFontMetrics> Metrics_;
    QColor TextColour_;
    int32_t AngleTenths_ = 0;
    bool CentredOnBaseLine_ = false;
    QString TextBuffer_;

    TPenKey RunPen_;
    std::vector<QLine> Run_;
    std::vector<QLine> Scratch_;
    uchar* Bits_ = nullptr;
    qsizetype Stride_ = 0;
    int32_t ImageWidth_ = 0;
    int32_t ImageHeight_ = 0;
    TMarkList DirectionMarks_;
    TMarkList JunctionCrosses_;
    TMarkList LoadCrosses_;
    std::vector<std::pair<QPoint, QString>> LoadTexts_;
};

} // namespace velomast
