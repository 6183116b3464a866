#pragma once

// Texts kept scrambled in the binary; DecodeText (CodeCript.h) gives the plain text when one is
// needed. tst_codecript checks each against its plain form; change both together (EncodeText
// makes a new scrambled form).

namespace ScrambledTexts {

// The characters of temporary file names: lower-case letters and digits, valid in the names of
// every file system and free of letter-case clashes.
inline constexpr char TempNameChars[] = "Pe0QfLNlfH8TGlMpheyE+m7B+wcvSXSDg5n6tYAu9ZdH9uiy";

// The title of the main window's title band and of the about window.
inline constexpr char Title[] = "cm08Sl14";

// The two lines under the version in the about window.
inline constexpr char AboutLine1[] = "cl1pf5tiPeykAmcnfe1BAxvx92qkGeS1+wcu";
inline constexpr char AboutLine2[] = "WHa6g50TfH8CA38Qb2qx+l7HGepifLNHfesE+LNB+6==";

// The link targets of the about window: the web page, the mail address, the donation page.
inline constexpr char WebTarget[] = "GmcC+mtFRBawSw+rfm08Sl14RlNDPev6hLdE";
inline constexpr char MailTarget[] = "he7ThmcEUlf1fecjPe94WLcBP5fTGBy1gL7M+Ls1";
inline constexpr char DonateTarget[] = "GmcC+mtFRBawSw+rfm08Sl14RlNDPev6hLdEfLarP5c1";

} // namespace ScrambledTexts
