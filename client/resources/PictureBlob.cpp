// The picture set as the pixmaps hold it (pictures.bin, written by the picture generator),
// placed in the program's read-only data, 64-byte aligned, so that a picture is shown straight
// from the mapped program file without decoding or copying it. The 2x set (pictures2x.bin)
// follows in a section of its own: its pages are only read on a screen that needs it.
#if !defined(QUELLOR_PICTURE_BLOB) || !defined(QUELLOR_PICTURE_BLOB_2X)
#error "QUELLOR_PICTURE_BLOB and QUELLOR_PICTURE_BLOB_2X must name the generated picture sets"
#endif

#define QUELLOR_EMBED_PICTURES(section, align, symbol, file) \
    asm(".pushsection " section ", \"a\"\n"                  \
        ".balign " align "\n"                                 \
        ".globl " symbol "_begin\n"                           \
        symbol "_begin:\n"                                    \
        ".incbin \"" file "\"\n"                              \
        ".globl " symbol "_end\n"                             \
        symbol "_end:\n"                                      \
        ".balign " align "\n"                                 \
        ".popsection\n");

QUELLOR_EMBED_PICTURES(".rodata.quellor_pictures", "64", "quellor_picture_blob", QUELLOR_PICTURE_BLOB)
// Between 64 KiB boundaries: the kernel maps the pages around a read one that it already holds
// (up to 64 KiB, aligned), and data read just before or after the 2x set must not bring its
// pages into the process.
QUELLOR_EMBED_PICTURES(".rodata.quellor_pictures_2x", "65536", "quellor_picture_blob_2x", QUELLOR_PICTURE_BLOB_2X)
