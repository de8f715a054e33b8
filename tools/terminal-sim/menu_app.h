// The substitute terminal library (libtrans.so / trans.dll): the one entry
// point a card terminal's transaction library exports, answering from the
// settings below instead of a terminal. Used to build, test and demonstrate
// the component without card hardware.
//
// Buffers. `request` holds zero-terminated ANSI bytes: either the 46-byte
// request (bytes 1-2 the code "05" sale, "07" void, "08" refund, "ff" other;
// 3-14 the amount in hundredths; 15-30 invoice; 31-38 cashier; 39-46
// register) or the 2-byte inquiry "06". `response` holds 43 zero bytes and a
// terminating zero, followed by at least 4096 more zeroed bytes. The library
// writes at most 43 response bytes (plus the deliberate overrun below) and
// never writes the request. Returns the result code: 1 is success.
//
// Settings, read from the environment on every call. Unset or empty means the
// default; a value that cannot be used is noted on standard error and the
// default is used instead. Lists take one entry per call in order, the last
// entry repeating for every later call.
//   KAVROLIN_SIM_RESULT    result codes, comma-separated ("1,0": the first
//                          call succeeds, every later one returns 0); an entry
//                          that is not a 16-bit integer counts as 0. Default 1.
//   KAVROLIN_SIM_RESPONSE  responses, "|"-separated, UTF-8, converted to the
//                          ANSI code page; at most 43 bytes are written.
//                          Default: KAVROLIN_SIM_CARD padded with spaces to 19
//                          bytes, the request's amount field (12 zeros for the
//                          inquiry), then the call number as 12 digits.
//   KAVROLIN_SIM_CARD      the card number of the default response.
//                          Default 6222000000000009.
//   KAVROLIN_SIM_PRINT     the folder that receives the receipt toprint.txt
//                          (ANSI, CR LF lines: a title, the slip heading, card
//                          number, amount and index number of the response),
//                          as a Windows path mapped through the prefix, a host
//                          path starting with "/", or "none" for no receipt.
//                          Written only for result 1 and not for the inquiry.
//                          Default: the current folder.
//   KAVROLIN_SIM_RECORD    a host file to which each call appends one line:
//                          the request bytes up to their zero in hexadecimal,
//                          a tab, the 43 response bytes as returned in
//                          hexadecimal, a line feed. Default: no record.
//   KAVROLIN_SIM_REPLAY    a trace to replay, for reproducing an incident: each
//                          call answers the next response the trace recorded,
//                          with its return code, in place of RESULT, RESPONSE
//                          and CARD. Read are the support trace
//                          payments-trace.txt (KAVROLIN_TRACE; card numbers
//                          masked as it holds them) and a KAVROLIN_SIM_RECORD
//                          file, whose lines hold no return code: RESULT gives
//                          it. The position runs on across processes in
//                          <state file>.replay; remove that file to start
//                          over. Past the trace's end a call answers 0.
//   KAVROLIN_SIM_DELAY_MS  milliseconds to wait before answering, at most
//                          600000. Default 0.
//   KAVROLIN_SIM_OVERRUN   extra 'X' bytes written past the 43 response bytes,
//                          as a misbehaving library would, at most 4096.
//                          Default 0.
//   KAVROLIN_SIM_STATE     the file that keeps the call number across calls
//                          and processes. Default <prefix>/terminal-sim.state
//                          (the prefix is KAVROLIN_PREFIX, else ~/.kavrolin).
//   KAVROLIN_CODEPAGE      the ANSI code page, as for the component.
//
// Calls may come from several threads and processes at once; each gets its
// own call number.
#pragma once

#if defined(_WIN32)
#define KAVROLIN_TRANS_CALL __stdcall
#define KAVROLIN_TRANS_EXPORT  // trans.def exports it, undecorated
#else
#define KAVROLIN_TRANS_CALL
#define KAVROLIN_TRANS_EXPORT __attribute__((visibility("default")))
#endif

extern "C" KAVROLIN_TRANS_EXPORT short KAVROLIN_TRANS_CALL MenuApp(char* request, char* response);
