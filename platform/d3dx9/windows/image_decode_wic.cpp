// image_decode_wic.cpp: JPEG, PNG and BMP through the Windows Imaging
// Component, which every Windows since Vista has. The bytes are decoded
// from memory, after the shared checks have passed them.
#include <windows.h>
#include <wincodec.h>

#include "d3dx9/texture_file.h"

namespace {

// Holds one COM interface and releases it.
template <class T>
struct Com {
    T* p = nullptr;
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com()
    {
        if (p)
            p->Release();
    }
    T* operator->() const { return p; }
    T** put() { return &p; }
};

// COM for this thread while the decode runs, unless it was already set up.
struct ComScope {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComScope()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
};

bool formatHasAlpha(IWICImagingFactory* factory, const WICPixelFormatGUID& format)
{
    Com<IWICComponentInfo> info;
    Com<IWICPixelFormatInfo2> pixelInfo;
    BOOL transparent = FALSE;
    if (FAILED(factory->CreateComponentInfo(format, info.put())) ||
        FAILED(info->QueryInterface(__uuidof(IWICPixelFormatInfo2), reinterpret_cast<void**>(pixelInfo.put()))) ||
        FAILED(pixelInfo->SupportsTransparency(&transparent)))
        return false;
    return transparent != FALSE;
}

} // namespace

TextureVerdict decodeWithSystemCodec(const uint8_t* data, size_t size, const ImageHeader& header, DecodedImage& out)
{
    ComScope com;
    Com<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWICImagingFactory),
                                reinterpret_cast<void**>(factory.put()))))
        return refuse(TextureProblem::Unsupported, "the Windows Imaging Component is missing");
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), DWORD(size))) ||
        FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())))
        return refuse(TextureProblem::Corrupt, "the decoder refused it");
    UINT width = 0, height = 0;
    WICPixelFormatGUID format = {};
    if (FAILED(frame->GetSize(&width, &height)) || FAILED(frame->GetPixelFormat(&format)))
        return refuse(TextureProblem::Corrupt, "the decoder refused it");
    if (int(width) != header.width || int(height) != header.height)
        return refuse(TextureProblem::Corrupt, "an image of another size than its header says");

    Com<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return refuse(TextureProblem::Unsupported, "a pixel format the decoder cannot convert");
    out.width = int(width);
    out.height = int(height);
    out.hasAlpha = formatHasAlpha(factory.p, format);
    UINT stride = width * 4;
    out.rgba.resize(size_t(stride) * height);
    if (FAILED(converter->CopyPixels(nullptr, stride, UINT(out.rgba.size()), out.rgba.data())))
        return refuse(TextureProblem::Corrupt, "the decoder refused it");
    for (size_t i = 0; i < out.rgba.size(); i += 4) {
        uint8_t blue = out.rgba[i];
        out.rgba[i] = out.rgba[i + 2];
        out.rgba[i + 2] = blue;
    }
    return {};
}
