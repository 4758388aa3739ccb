// The DirectSound subset the game uses, over a software mixer that renders 44.1 kHz 16-bit stereo.
// Buffers are plain memory and may be made and filled on any thread. Play and write cursors move
// as the output device consumes frames: with the SDL host as the sound card plays, with the
// headless host as its clock moves.
#pragma once
#include <cstdint>

#include "platform/mmio/MMSystem.h"
#include "platform/win/Win.h"

typedef DWORD* LPDWORD;
typedef LONG* LPLONG;
typedef GUID* LPGUID;
typedef const GUID* LPCGUID;
class IUnknown;  // defined with the DirectDraw interfaces; only passed as null here
typedef IUnknown* LPUNKNOWN;

// ---- COM ----------------------------------------------------------------------------------------
// Nothing here needs the apartment; the calls only count.
HRESULT CoInitialize(LPVOID pvReserved);
void CoUninitialize();

// ---- Results ------------------------------------------------------------------------------------
#define DS_OK S_OK
#define MAKE_DSHRESULT(code) ((HRESULT)(0x88780000u | (code)))
#define DSERR_ALLOCATED MAKE_DSHRESULT(10)
#define DSERR_CONTROLUNAVAIL MAKE_DSHRESULT(30)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL MAKE_DSHRESULT(50)
#define DSERR_GENERIC E_FAIL
#define DSERR_PRIOLEVELNEEDED MAKE_DSHRESULT(70)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT MAKE_DSHRESULT(100)
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NODRIVER MAKE_DSHRESULT(120)
#define DSERR_BUFFERLOST MAKE_DSHRESULT(150)

// ---- Flags and limits ---------------------------------------------------------------------------
#define DSSCL_NORMAL 1
#define DSSCL_PRIORITY 2
#define DSSCL_EXCLUSIVE 3
#define DSSCL_WRITEPRIMARY 4

#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBCAPS_CTRLPOSITIONNOTIFY 0x00000100
#define DSBCAPS_STICKYFOCUS 0x00004000
#define DSBCAPS_GLOBALFOCUS 0x00008000
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000

#define DSBPLAY_LOOPING 0x00000001

#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004

#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002

#define DSBVOLUME_MIN (-10000)
#define DSBVOLUME_MAX 0
#define DSBFREQUENCY_ORIGINAL 0
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 100000
#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF

// The mixer's output, which is also the format the primary buffer reports.
#define DSOUND_MIX_RATE 44100
// How far the write cursor runs ahead of the play cursor while a buffer plays.
#define DSOUND_WRITE_AHEAD_MS 10

// The description as the game fills it in; dwSize must be sizeof(DSBUFFERDESC).
struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    LPWAVEFORMATEX lpwfxFormat;
    GUID guid3DAlgorithm;
};
typedef DSBUFFERDESC* LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

class IDirectSoundBuffer {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT GetCurrentPosition(LPDWORD pdwCurrentPlayCursor, LPDWORD pdwCurrentWriteCursor) = 0;
    // The format record; with a null record only the size needed (18 + extra bytes) is reported.
    virtual HRESULT GetFormat(LPWAVEFORMATEX pwfxFormat, DWORD dwSizeAllocated, LPDWORD pdwSizeWritten) = 0;
    virtual HRESULT GetVolume(LPLONG plVolume) = 0;
    virtual HRESULT GetFrequency(LPDWORD pdwFrequency) = 0;
    virtual HRESULT GetStatus(LPDWORD pdwStatus) = 0;
    // A ring lock: the span from dwOffset, wrapping to the start into the second part (null
    // pointer and zero length when it does not wrap). One lock at a time; the data written through
    // the pointers reaches the buffer at Unlock.
    virtual HRESULT Lock(DWORD dwOffset, DWORD dwBytes, LPVOID* ppvAudioPtr1, LPDWORD pdwAudioBytes1,
                         LPVOID* ppvAudioPtr2, LPDWORD pdwAudioBytes2, DWORD dwFlags) = 0;
    virtual HRESULT Play(DWORD dwReserved1, DWORD dwPriority, DWORD dwFlags) = 0;
    virtual HRESULT SetCurrentPosition(DWORD dwNewPosition) = 0;
    virtual HRESULT SetFormat(LPCWAVEFORMATEX pcfxFormat) = 0;
    virtual HRESULT SetVolume(LONG lVolume) = 0;
    virtual HRESULT SetFrequency(DWORD dwFrequency) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Unlock(LPVOID pvAudioPtr1, DWORD dwAudioBytes1, LPVOID pvAudioPtr2, DWORD dwAudioBytes2) = 0;
    // Software buffers are never lost: this always succeeds.
    virtual HRESULT Restore() = 0;

protected:
    virtual ~IDirectSoundBuffer() = default;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

class IDirectSound {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC pcDSBufferDesc, LPDIRECTSOUNDBUFFER* ppDSBuffer,
                                      LPUNKNOWN pUnkOuter) = 0;
    virtual HRESULT SetCooperativeLevel(HWND hwnd, DWORD dwLevel) = 0;

protected:
    virtual ~IDirectSound() = default;
};
typedef IDirectSound* LPDIRECTSOUND;

// Opens the host's audio output (one per process); DSERR_NODRIVER when the host has none or it
// is already taken. The device closes when the object and every buffer made by it are released.
HRESULT DirectSoundCreate(LPCGUID lpGuid, LPDIRECTSOUND* ppDS, LPUNKNOWN pUnkOuter);

// Our own, for tests and tools: renders nFrames frames of the mix (interleaved stereo) as the
// device would, moving every cursor. Only meaningful while a DirectSound object exists; pOut may be
// null to drop the output.
void MixDirectSound(int16_t* pOut, uint32_t nFrames);
// Number of sound buffers alive (primary included).
int GetLiveSoundBufferCount();
// Our own, for tools that measure the mix: every block the device renders is also handed to the tap
// as two sums before the clamp, interleaved stereo at the mix rate and scaled by the master volume:
// the streamed buffers' (made with DSBCAPS_GETCURRENTPOSITION2: the music) and all the others' (the
// effects and voices). Called under the mixer's lock, on whichever thread renders; null removes it.
typedef void (*PFNMIXTAP)(const int32_t* pStreamed, const int32_t* pOthers, uint32_t nFrames, void* pContext);
void SetDirectSoundMixTap(PFNMIXTAP pfnTap, void* pContext);
