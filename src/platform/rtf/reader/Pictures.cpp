// Pictures, shapes, objects and old drawing objects.
#include "platform/rtf/reader/Pictures.h"

#include "platform/rtf/TextFormats.h"
#include "platform/rtf/reader/Keywords.h"

#include <QAtomicInt>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

using namespace TextFormats;

namespace RtfRead {

namespace {

enum Dest : quint8 { PictDest, ShapeName };

enum Group : quint8 { PictGroup };

enum Word : quint16 {
    Pict,
    ShpPict,
    NonShpPict,
    Shp,
    ShpInst,
    ShpRslt,
    Sp,
    Sn,
    Sv,
    Object,
    Result,
    Do,
    DpTxbxText,
    PngBlip,
    JpegBlip,
    WMetafile,
    EmfBlip,
    DiBitmap,
    WBitmap,
    MacPict,
    PmMetafile,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    WbmBitsPixel,
    WbmPlanes,
    WbmWidthBytes
};

} // namespace

void addPictureWords(KeywordTable &table)
{
    addWords(table, Kind::Pictures,
             {{"pict", Pict},
              {"shppict", ShpPict},
              {"nonshppict", NonShpPict},
              {"shp", Shp},
              {"shpgrp", Shp},
              {"shpinst", ShpInst},
              {"shprslt", ShpRslt},
              {"sp", Sp},
              {"sn", Sn},
              {"sv", Sv},
              {"object", Object},
              {"result", Result},
              {"do", Do},
              {"dptxbxtext", DpTxbxText},
              {"pngblip", PngBlip},
              {"jpegblip", JpegBlip},
              {"wmetafile", WMetafile},
              {"emfblip", EmfBlip},
              {"dibitmap", DiBitmap},
              {"wbitmap", WBitmap},
              {"macpict", MacPict},
              {"pmmetafile", PmMetafile},
              {"picw", PicW},
              {"pich", PicH},
              {"picwgoal", PicWGoal},
              {"pichgoal", PicHGoal},
              {"picscalex", PicScaleX},
              {"picscaley", PicScaleY},
              {"wbmbitspixel", WbmBitsPixel},
              {"wbmplanes", WbmPlanes},
              {"wbmwidthbytes", WbmWidthBytes}});
}

void PicturesHandler::word(quint16 code, bool, int param)
{
    State &s = m_reader.state();
    switch (Word(code)) {
    case Pict:
        if (s.dest == Kind::Fonts) {
            m_reader.skipGroup();
            return;
        }
        s.dest = Kind::Pictures;
        s.destCode = PictDest;
        s.group = Kind::Pictures;
        s.groupCode = PictGroup;
        s.opener = true;
        m_pict = {};
        m_pictHigh = -1;
        return;
    case ShpPict:
        s.dest = Kind::Discard;
        return;
    case NonShpPict:
        m_reader.skipGroup();
        return;
    case Shp:
        if (s.dest != Kind::Discard)
            m_shapePicture = false;
        s.dest = Kind::Discard;
        return;
    case ShpInst:
        s.dest = Kind::Discard;
        return;
    case ShpRslt:
        if (m_shapePicture)
            m_reader.skipGroup();
        else
            s.dest = Kind::Discard;
        return;
    case Sp:
        s.dest = Kind::Discard;
        return;
    case Sn:
        s.dest = Kind::Pictures;
        s.destCode = ShapeName;
        m_shapePropName.clear();
        return;
    case Sv:
        s.dest = Kind::Discard;
        s.inShapeValue = true;
        return;
    case Object:
        s.dest = Kind::Discard;
        return;
    case Result:
        return; // inside an object: pictures only, as the group is discarded
    case Do:
        s.dest = Kind::Discard;
        return;
    case DpTxbxText:
        // A text box of an old-style drawing object: its text stands where it is anchored.
        s.dest = Kind::Body;
        return;
    case PngBlip:
        m_pict.kind = "png";
        return;
    case JpegBlip:
        m_pict.kind = "jpeg";
        return;
    case WMetafile:
        m_pict.kind = "wmf";
        return;
    case EmfBlip:
        m_pict.kind = "emf";
        return;
    case DiBitmap:
        m_pict.kind = "dib";
        return;
    case WBitmap:
        m_pict.kind = "wbitmap";
        return;
    case MacPict:
        m_pict.kind = "pict";
        return;
    case PmMetafile:
        m_pict.kind = "pmm";
        return;
    case PicW:
        m_pict.picw = param;
        return;
    case PicH:
        m_pict.pich = param;
        return;
    case PicWGoal:
        m_pict.goalw = param;
        return;
    case PicHGoal:
        m_pict.goalh = param;
        return;
    case PicScaleX:
        m_pict.scalex = param;
        return;
    case PicScaleY:
        m_pict.scaley = param;
        return;
    case WbmBitsPixel:
        m_pict.wbmBitsPixel = std::clamp(param, 1, 32);
        return;
    case WbmPlanes:
        m_pict.wbmPlanes = std::clamp(param, 1, 4);
        return;
    case WbmWidthBytes:
        m_pict.wbmWidthBytes = std::clamp(param, 0, 1 << 20);
        return;
    }
}

void PicturesHandler::text(quint8 dest, const char *p, qsizetype n)
{
    if (dest == ShapeName) {
        if (m_shapePropName.size() < 64)
            m_shapePropName.append(p, std::min<qsizetype>(n, 64));
        return;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const int v = RtfEncoding::hexDigitValue(p[i]);
        if (v < 0)
            continue;
        if (m_pictHigh < 0) {
            m_pictHigh = v;
        } else {
            m_pict.data.append(char(m_pictHigh * 16 + v));
            m_pictHigh = -1;
        }
    }
}

void PicturesHandler::binaryData(QByteArrayView data)
{
    if (m_reader.state().inDest(Kind::Pictures, PictDest))
        m_pict.data.append(data);
}

void PicturesHandler::groupEnded(quint8, State &)
{
    finishPicture();
}

void PicturesHandler::finishPicture()
{
    if (!m_reader.hasState()) {
        m_pict = {};
        return;
    }
    const State &s = m_reader.state();
    // A picture given for a shape property other than the shape's own picture is a fill or
    // a texture: not shown.
    if (s.inShapeValue && m_shapePropName != "pib") {
        m_pict = {};
        return;
    }
    if (m_pict.kind.isEmpty()) {
        m_pict = {};
        return;
    }
    if (s.inShapeValue)
        m_shapePicture = true;
    const RtfPicture::Decoded d = RtfPicture::decode(m_pict);
    m_pict = {};

    static QAtomicInt counter;
    const QString name = QStringLiteral("rtfpicture:%1").arg(counter.fetchAndAddRelaxed(1) + 1);
    m_reader.document().addResource(QTextDocument::ImageResource, QUrl(name), d.image);
    QTextImageFormat f;
    f.merge(m_reader.charFormat(textProps(s.chr)));
    f.setName(name);
    f.setWidth(d.widthTwips * PixelsPerTwip);
    f.setHeight(d.heightTwips * PixelsPerTwip);
    f.setProperty(PictureData, d.data);
    f.setProperty(PictureKind, d.kind);
    f.setProperty(PictureWidthTwips, d.widthTwips);
    f.setProperty(PictureHeightTwips, d.heightTwips);
    m_reader.flushBytes(true);
    m_reader.flushRun();
    m_reader.ensureBlock();
    m_reader.cursor().insertImage(f);
    m_reader.setBlockHasContent();
}

} // namespace RtfRead
