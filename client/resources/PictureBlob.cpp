// The picture set as the pixmaps hold it (pictures.bin, written by the picture generator),
// placed in the program's read-only data, 64-byte aligned, so that a picture is shown straight
// from the mapped program file without decoding or copying it.
#ifndef QUELLOR_PICTURE_BLOB
#error "QUELLOR_PICTURE_BLOB must name the generated pictures.bin"
#endif

asm(".pushsection .rodata.quellor_pictures, \"a\"\n"
    ".balign 64\n"
    ".globl quellor_picture_blob_begin\n"
    "quellor_picture_blob_begin:\n"
    ".incbin \"" QUELLOR_PICTURE_BLOB "\"\n"
    ".globl quellor_picture_blob_end\n"
    "quellor_picture_blob_end:\n"
    ".popsection\n");
