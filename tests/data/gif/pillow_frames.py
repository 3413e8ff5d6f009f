# Prints every frame of a GIF file as Pillow shows it, composed over white: width, height,
# duration in ms and the RGB bytes in hex, one frame a line.
import sys
from PIL import Image
im = Image.open(sys.argv[1])
for i in range(im.n_frames):
    im.seek(i)
    bg = Image.new('RGBA', im.size, (255, 255, 255, 255))
    bg.alpha_composite(im.convert('RGBA'))
    print(im.size[0], im.size[1], im.info.get('duration', 0), bg.convert('RGB').tobytes().hex())
