/* Pinatrove plug-in interface.

   A plug-in is a DLL placed in the "plugin" folder beside Pinatrove.exe. At
   start-up Pinatrove loads every "*.dll" in that folder (in the order the
   folder lists them), asks each one for a description of itself, and lists
   the plug-ins it got a description from on the About page of its settings
   window. It does nothing else with a plug-in: there are no further calls.

   Loading
   - Each DLL is loaded by its full path. Its own dependencies are looked for
     in the plug-in's folder and in the system folder only (never beside
     Pinatrove.exe, in the working directory or on PATH): ship the DLLs your
     plug-in needs beside it, in the "plugin" folder.
   - A DLL that does not load (a dependency missing, a broken file) is
     skipped without any message; so is one without the export below, or one
     whose export returns NULL or a text that is not a JSON object.
   - A loaded DLL stays loaded until Pinatrove ends; it is never unloaded.
   - Everything runs on Pinatrove's UI thread while its panel starts: keep
     DllMain and GetAppInfo short, and do not wait for other threads there.
   - Build the plug-in for the same architecture as Pinatrove.exe (the
     release exe is 32-bit x86).

   The export: GetAppInfo
   - Exported by that exact, undecorated name; it takes no arguments.
   - Calling convention: __cdecl (PINATROVE_PLUGIN_CALL below). A function
     without arguments behaves the same under __stdcall on x86, so a plug-in
     written in a language that only offers __stdcall works too, as long as
     its export is named plainly "GetAppInfo" (not "_GetAppInfo@0": use a
     .def file or the linker's kill-at option where needed). On x86-64 there
     is only one convention.
   - It returns a pointer to a zero-terminated UTF-16LE text (wchar_t on
     Windows) holding a JSON object, or NULL when there is nothing to say.
     Pinatrove reads the text once, right after the call, copies it, and
     neither frees nor keeps the pointer: the memory stays the plug-in's (a
     static string is the usual choice). At most 1 MiB (524,288 UTF-16 code
     units, the terminator included) is read; a longer text is skipped.
   - The JSON text may use the usual escapes ("\u00e9"); Pinatrove's reader
     is lenient (single quotes and bare keys are accepted) but a plug-in
     should write standard JSON.

   The description (a JSON object). Members Pinatrove reads:
     "name"     the plug-in's name as shown on the About page; without it
                (or when it is not a non-empty string) the DLL's file name
                is shown.
   Other members are kept with the description and ignored. Conventional
   ones: "version" (text), "author" (text), "description" (text).

   Example:
     PINATROVE_PLUGIN_EXPORT const wchar_t* PINATROVE_PLUGIN_CALL GetAppInfo(void) {
         return L"{\"name\":\"Clock\",\"version\":\"1.0\"}";
     }
*/
#ifndef PINATROVE_PLUGIN_H
#define PINATROVE_PLUGIN_H

#include <wchar.h>

#ifdef __cplusplus
#define PINATROVE_PLUGIN_EXTERN_C extern "C"
#else
#define PINATROVE_PLUGIN_EXTERN_C
#endif

#define PINATROVE_PLUGIN_CALL __cdecl
#define PINATROVE_PLUGIN_EXPORT PINATROVE_PLUGIN_EXTERN_C __declspec(dllexport)

/* The limit on the description text, in bytes, the terminator included. */
#define PINATROVE_PLUGIN_MAX_INFO_BYTES (1024 * 1024)

/* The type of GetAppInfo, for hosts and tests that look it up. */
typedef const wchar_t*(PINATROVE_PLUGIN_CALL* PinatroveGetAppInfo)(void);

#endif /* PINATROVE_PLUGIN_H */
